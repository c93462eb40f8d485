// The frame and network dumps of --verbose.
#include "frame_dump.h"

#include <chrono>
#include <ctime>

#include "records_platform.h"
#include "text_output.h"

std::string FrameDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count) {
    std::string line = time + (direction == FrameDirection::Sent ? " ->" : " <-");
    if (count == 0) return line + " (nada)\n";
    for (size_t i = 0; i < count; ++i) line += Format(" %02X", bytes[i]);
    return line + "\n";
}

namespace {
// A flood must not turn the dump into megabytes of hex.
const size_t kNetworkBytesShown = 64;
}  // namespace

std::string NetworkDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count) {
    std::string line = time + (direction == FrameDirection::Sent ? " rede ->" : " rede <-");
    const size_t shown = count < kNetworkBytesShown ? count : kNetworkBytesShown;
    for (size_t i = 0; i < shown; ++i) line += Format(" %02X", bytes[i]);
    if (count > shown) line += Format(" ... (+%u bytes)", static_cast<unsigned>(count - shown));
    return line + "\n";
}

namespace {
std::string NowText() {
    const auto now = std::chrono::system_clock::now();
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::tm local = LocalTimeOf(std::chrono::system_clock::to_time_t(now));
    char text[32];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return Format("%s.%03d", text, static_cast<int>(ms));
}

}  // namespace

void DumpFrame(FrameDirection direction, const uint8_t* bytes, size_t count) {
    WriteErr(FrameDumpLine(NowText(), direction, bytes, count));
}

void DumpNetwork(FrameDirection direction, const uint8_t* bytes, size_t count) {
    WriteErr(NetworkDumpLine(NowText(), direction, bytes, count));
}
