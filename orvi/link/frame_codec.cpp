// The frame codec chosen when the port opens (none for an RTU line).
#include "frame_codec.h"

namespace {
FrameCodec* activeCodec = nullptr;
}

void UseFrameCodec(FrameCodec* codec) { activeCodec = codec; }

FrameCodec* ActiveFrameCodec() { return activeCodec; }
