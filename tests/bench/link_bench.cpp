// Times this suite's link (COM1 under Wine) doing the benchmark's link work against orvi-sim, with the
// line-time model of each work beside it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "comm_settings.h"
#include "line_time_model.h"
#include "line.h"
#include "link_work.h"
#include "serial_port.h"
#include "transactions.h"

namespace {

class SuiteMaster : public BenchMaster {
public:
    // collectEvidence false: the line gathers no evidence, to measure what gathering costs.
    explicit SuiteMaster(bool collectEvidence) : collectEvidence_(collectEvidence) {}
    bool UseRate(int32_t baud) override {
        std::strcpy(commSettings.portName, "COM1");
        commSettings.baudRate = baud;
        commSettings.deviceAddress = 1;
        ClosePort();
        ConfiguratorLine().evidence.collecting = collectEvidence_;
        // The port falls back to another COM port when COM1 fails; only COM1 is the simulator's line.
        return OpenPort() != 0 && std::strcmp(commSettings.portName, "COM1") == 0;
    }
    bool ReadBlock() override {
        uint16_t block[kConfigBlockWords];
        return ReadConfigBlock(block) == kLinkOk;
    }
    bool WriteAndReadBack(int reg, int16_t value) override {
        return WriteRegister(static_cast<int8_t>(reg), value) == kLinkOk;
    }
    bool ReadOne(int reg) override {
        uint16_t word = 0;
        return ReadHolding(static_cast<int8_t>(reg), &word) == kLinkOk;
    }
    void Close() override { ClosePort(); }

private:
    bool collectEvidence_;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (int32_t baud : {1200, 9600, 19200}) {
        std::printf("model block %d %.1f\n", static_cast<int>(baud), ConfigBlockReadMs(baud));
        std::printf("model writes %d %.1f\n", static_cast<int>(baud), FullApplyMs(baud));
        std::printf("model reads %d %.1f\n", static_cast<int>(baud), kBenchSingleReads * OneRegisterReadMs(baud));
    }
    SimClient sim(SimControlPortFromEnv());
    SuiteMaster master(true);
    const int result = RunLinkWork("suite", master, sim, rounds);
    if (result != 0) return result;
    // The same work with the line's evidence not gathered: what gathering it costs.
    SuiteMaster bare(false);
    return RunLinkWork("bare", bare, sim, rounds);
}
