// Result codes of the transactions and their fixed texts.
#pragma once
#include <cstdint>

typedef uint16_t LinkError;

enum : LinkError {
    kLinkOk = 0,
    kLinkWrongAddress = 4,
    kLinkBadByteCount = 5,
    kLinkBadRegister = 6,
    kLinkValueMismatch = 7,
    kLinkException = 8,
    kLinkBadFunction = 9,
    kLinkBufferFull = 10,
    kLinkBadCrc = 11,
    kLinkTimeout = 20,
};

const char* LinkErrorText(unsigned code);
