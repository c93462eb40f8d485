// The link work both masters do in the benchmark (this suite's link and a general Modbus master), timed alike.
#pragma once
#include <cstdint>

#include "sim_client.h"

constexpr int kBenchSingleReads = 20;  // registers 0 to 19, one read each

// What a master must do; each returns false when the transaction failed.
class BenchMaster {
public:
    virtual ~BenchMaster() = default;
    // Opens the line at baud (the transmitter already answers there).
    virtual bool UseRate(int32_t baud) = 0;
    virtual bool ReadBlock() = 0;  // the 68 configuration registers in one read
    virtual bool WriteAndReadBack(int reg, int16_t value) = 0;
    virtual bool ReadOne(int reg) = 0;
    virtual void Close() = 0;
};

// At 1200, 9600 and 19200 bit/s: the block read, the nine writes OK makes on the Input/Output page (each
// read back, with the values the transmitter holds), and twenty one-register reads, each `rounds` times.
// Prints one line per work and rate: "figure WHO WORK BAUD MEAN MIN MAX TRANSACTIONS" (ms). scripts/bench holds
// each of this suite's figures to 1.10 x (libmodbus's figure + TRANSACTIONS x the quiet gap this suite keeps
// before a request and libmodbus does not: 3.5 characters of 10 bits, at least 2 ms).
// Returns 0, or 1 after a message on stderr when a transaction failed.
int RunLinkWork(const char* who, BenchMaster& master, SimClient& sim, int rounds);
