// The configurator line's frame codec (none for an RTU line).
#include "frame_codec.h"

#include "line.h"

void UseFrameCodec(FrameCodec* codec) { ConfiguratorLine().UseCodec(codec); }
