// The serial line of one orvictl run: which port, rate and address, opening, closing and the first read.
#pragma once
#include <cstdint>
#include <string>

#include "cli_options.h"
#include "transactions.h"

struct LineTarget {
    std::string port;
    int32_t baud;
    uint8_t address;
    uint32_t timeoutMs = 0;  // network ports only (0: the allowance follows the network)
    uint8_t unit = 0;        // gateways only (0: the address is the unit)
};

// The options where given, otherwise orvi.ini (Windows) or the defaults.
LineTarget ResolveLineTarget(const GlobalOptions& options);

// Opens the port at target's rate and address (commSettings follow); an exit code, with a message when not 0.
int OpenLine(const LineTarget& target);
// Opens the port again at commSettings' rate (after a rate change); false when it does not open.
bool ReopenLine();
void CloseLine();
const std::string& LinePortName();

// "endereço 1, 9600 bit/s, /dev/ttyUSB0"
std::string LineDescription();

// Reads the configuration block into words; an exit code, with a message when the transmitter did not answer.
int ReadConfiguration(uint16_t* words);
// The message of a read that failed, naming where the transmitter was looked for.
void ComplainNoReply(const char* what, LinkError error);

// "portas presentes: /dev/ttyUSB0, ..." (or that there are none), for a port that does not open.
std::string PresentPortsText();
