// orvictl's global options and the small parsers every command shares.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "text_convert.h"

struct GlobalOptions {
    std::string port;  // empty: orvi.ini or the default
    int32_t baud = 0;  // 0: orvi.ini or the default
    int address = 0;   // 0: orvi.ini or the default
    // Network ports: what a reply may take beyond the line's time-outs (0: the default allowance).
    uint32_t timeoutMs = 0;
    int unit = 0;          // a gateway's unit identifier for the transmitter (0: its address)
    bool verbose = false;  // every frame on standard error
};

// Reads the global options in front of the command (arguments[0] is the program); returns the index
// of the command, arguments.size() when there is none, or -1 after a message on a bad option.
int ParseGlobalOptions(const std::vector<std::string>& arguments, GlobalOptions* options);

// The usage problem of an argument a command does not take: an unknown option or a stray argument.
std::string UnexpectedArgumentText(const std::string& argument);

bool ParseBaudRate(const std::string& text, int32_t* baud);      // one of the five rates
bool ParseDeviceAddress(const std::string& text, int* address);  // 1..247
// "1,7,12" or "10-12" or both mixed: addresses in the order given, each once.
bool ParseAddressList(const std::string& text, std::vector<int>* addresses);
// "TT-101,TT-102,,TT-104": one measuring point's name per address, matched to the addresses in order
// (blanks around each trimmed; an empty one leaves that transmitter unnamed). False when the count
// is not the addresses'.
bool ParseTagList(const std::string& text, size_t count, std::vector<std::string>* tags);

// True when the command's arguments ask for its help.
bool WantsHelp(const std::vector<std::string>& arguments);
