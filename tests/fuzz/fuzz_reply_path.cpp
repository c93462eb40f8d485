// Fuzz target: a request, then any bytes from the line through ReceiveReply and CheckReply.
//
// Input: send function, send count (2 bytes), receive function, receive count (2 bytes), flags,
// a length for a second CheckReply, device address, request value (2 bytes), then the bytes the
// port returns. The destination holds exactly the words the request asks for (the callers'
// contract), in a heap block of its own so that the address sanitizer sees any write past it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "comm_settings.h"
#include "line.h"
#include "rtu_frame.h"
#include "scripted_serial_device.h"
#include "serial_port.h"

namespace {
enum { kHeaderBytes = 11 };
const uint16_t kUntouched = 0xA55A;

uint16_t TakeWord(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

// Room the request gives a reply: one word for a private read, the register count otherwise.
size_t RoomFor(uint8_t function, uint16_t count) { return function == 0x70 ? 1 : count; }

// The words a successful reply of `length` bytes in the receive buffer may leave at the destination:
// exactly the words asked for, or none.
std::vector<uint16_t> ExpectedWords(uint8_t length, size_t room) {
    std::vector<uint16_t> words(room, kUntouched);
    const uint8_t function = ReplyByte(1);
    if (function >= 1 && function <= 4) {
        if (room > 0 && ReplyByte(2) == 2u * room && length >= 2u * room + 5u)
            for (size_t k = 0; k < room; ++k) words[k] = ReplyWord(static_cast<uint8_t>(3 + 2 * k));
    } else if (function == 0x70 && room > 0 && length >= 6) {
        words[0] = ReplyWord(2);
    }
    return words;
}

// Nothing but a passed check may touch the destination, and then only with words of the reply.
void CheckDestination(LinkError result, uint8_t length, const uint16_t* destination, size_t room) {
    std::vector<uint16_t> expected(room, kUntouched);
    if (result == kLinkOk && length >= 4) expected = ExpectedWords(length, room);
    for (size_t i = 0; i < room; ++i)
        if (destination[i] != expected[i]) {
            std::fprintf(stderr, "reply of %u bytes, result %u: word %zu is %04X, expected %04X\n", length, result, i,
                         destination[i], expected[i]);
            std::abort();
        }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes) return 0;
    const uint8_t sendFunction = data[0];
    const uint16_t sendCount = TakeWord(data + 1);
    const uint8_t receiveFunction = data[3];
    const uint16_t receiveCount = TakeWord(data + 4);
    const uint8_t flags = data[6];
    const uint8_t checkLength = data[7];

    ScriptedSerialDevice device;
    device.openable.insert("COM1");
    device.replies.push_back(Bytes(data + kHeaderBytes, data + size));
    UseSerialDevice(&device);
    std::strcpy(commSettings.portName, "COM1");
    commSettings.baudRate = 19200;
    commSettings.deviceAddress = data[8];
    if (OpenPort() != 1) std::abort();
    ConfiguratorLine().acceptAnyAddress = (flags & 1) != 0;

    const size_t room = (flags & 2) ? 0 : RoomFor(sendFunction, sendCount);
    uint16_t* destination = room ? new uint16_t[room] : nullptr;
    for (size_t i = 0; i < room; ++i) destination[i] = kUntouched;

    SendRequest(0, sendCount, sendFunction, static_cast<int16_t>(TakeWord(data + 9)), destination);
    const LinkError received = ReceiveReply(receiveFunction, receiveCount);
    if (received != kLinkOk && received != 4 && received != 5 && received != 6 && received != 7 && received != 8 &&
        received != 9 && received != 11 && received != 20)
        std::abort();
    // The longest read asks for 255 + 8 bytes; more would overrun the receive buffer.
    if (!device.readSizes.empty() && device.readSizes.back() > 263) std::abort();
    // A reply that arrived complete has its length; anything else is judged without the buffer.
    const size_t arrived = size - kHeaderBytes;
    uint8_t expectedLength = 0;
    if (receiveFunction >= 1 && receiveFunction <= 4 && 2u * receiveCount + 5u <= 255u)
        expectedLength = static_cast<uint8_t>(2u * receiveCount + 5u);
    else if (receiveFunction == 5 || receiveFunction == 6 || receiveFunction == 0x71)
        expectedLength = 8;
    else if (receiveFunction == 0x70)
        expectedLength = 6;
    if (expectedLength == 0 || arrived < expectedLength) {
        if (received != kLinkTimeout) std::abort();
    }
    CheckDestination(received, expectedLength, destination, room);

    // The same buffer judged again at any length a caller could pass.
    for (size_t i = 0; i < room; ++i) destination[i] = kUntouched;
    const LinkError checked = CheckReply(checkLength);
    CheckDestination(checked, checkLength, destination, room);

    delete[] destination;
    ConfiguratorLine().acceptAnyAddress = false;
    ClosePort();
    UseSerialDevice(nullptr);
    return 0;
}
