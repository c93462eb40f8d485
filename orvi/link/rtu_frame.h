// One Modbus RTU request on the line and the checks of its reply.
#pragma once
#include <cstddef>
#include <cstdint>
#include "link_error.h"

class Line;

// On line: the request, its reply and the reply's words.
void SendRequest(Line& line, uint16_t reg, uint16_t count, uint8_t functionCode, int16_t value, uint16_t* destination);
LinkError ReceiveReply(Line& line, uint8_t functionCode, uint16_t count);
LinkError CheckReply(Line& line, uint8_t length);
uint8_t ReplyByte(const Line& line, uint8_t position);
uint16_t ReplyWord(const Line& line, uint8_t position);
void HoldLineQuiet(Line& line, uint32_t ms);

// The same on the configurator's line.
void SendRequest(uint16_t reg, uint16_t count, uint8_t functionCode, int16_t value, uint16_t* destination);
LinkError ReceiveReply(uint8_t functionCode, uint16_t count);
LinkError CheckReply(uint8_t length);
uint8_t ReplyByte(uint8_t position);
uint16_t ReplyWord(uint8_t position);
int16_t ReplySignedWord(uint8_t position);

// Keeps the line quiet at least ms after the last reply before the next request (a transmitter
// takes up a new address or rate only after its reply).

// The CRC of a whole buffer, from 0xFFFF (for tests and tools).
uint16_t Crc16(const uint8_t* bytes, size_t count);

// The frame last sent on the configurator's line, for tests and measurements.
const uint8_t* LastRequest(size_t* length);
