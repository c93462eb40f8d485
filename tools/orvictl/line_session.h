// The serial line of one orvictl run: which port, rate and address, opening, closing and the first read.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "cli_options.h"
#include "config_snapshot.h"
#include "line.h"
#include "named_port_device.h"
#include "network_port.h"
#include "transactions.h"
#include "write_journal.h"

struct LineTarget {
    std::string port;
    int32_t baud;
    uint8_t address;
    uint32_t timeoutMs = 0;  // network ports only (0: the allowance follows the network)
    uint8_t unit = 0;        // gateways only (0: the address is the unit)
};

// The options where given, otherwise orvi.ini (Windows) or the defaults.
LineTarget ResolveLineTarget(const GlobalOptions& options);

// One line of an orvictl run: its Line (device, settings, frames), the device that opens the port it
// was given and nothing else, and the network side of that port. Commands take the session they work
// on; a command that hands work to another passes its session on.
class LineSession {
public:
    LineSession();
    ~LineSession();
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    // --verbose: every frame and every network piece on standard error.
    void SetVerbose(bool verbose);
    // Opens the port at target's rate and address (the line's settings follow); an exit code, with a
    // message when not 0.
    int Open(const LineTarget& target);
    // Opens the port again at the line's rate (after a rate change); false when it does not open.
    bool Reopen();
    void Close();
    bool IsOpen();
    const std::string& PortName() const;
    // "endereço 1, 9600 bit/s, /dev/ttyUSB0"
    std::string Description() const;
    // Reads the configuration block into words; an exit code, with a message when the transmitter did not answer.
    int ReadConfiguration(uint16_t* words);
    // The message of a read that failed, naming where the transmitter was looked for.
    void ComplainNoReply(const char* what, LinkError error);
    // The configuration block just read, decoded; the session keeps it as what the transmitter on
    // its line holds (the journal's serial number and values before) until the line closes.
    ConfigSnapshot TakeRead(const uint16_t* words);
    // Only the serial number is known of the transmitter on the line (read before a change of its address).
    void NameTransmitter(uint32_t serial);
    // The output trims just read of the transmitter the session holds: the values before of their writes.
    void TakeTrims(const CalibrationValues& trims);

    CommSettings& Settings() { return line.settings; }
    NetworkPort& Network() { return network_; }

    Line line;

private:
    void UseToken();

    NetworkPort network_;
    ConfigSnapshot transmitter_ = {};  // what the transmitter on the line was read or confirmed to hold
    HeldTrims trims_;                  // and its output trims, once read
    std::unique_ptr<NamedPortDevice> device_;
};

// "portas presentes: /dev/ttyUSB0, ..." (or that there are none), for a port that does not open.
std::string PresentPortsText();
