// The timed link work of the benchmark, the same for every master.
#include "link_work.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <iterator>
#include <string>

namespace {

const int32_t kRates[] = {1200, 9600, 19200};
// The registers the Input/Output page's OK writes, in its order.
const int kApplyRegisters[] = {67, 43, 27, 26, 61, 35, 31, 50, 39};

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Times `rounds` runs of work; false as soon as one fails.
bool TimeWork(const char* who, const char* name, int32_t baud, int transactions, int rounds,
              const std::function<bool()>& work) {
    double total = 0, low = 1e12, high = 0;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMs();
        const bool ok = work();
        const double elapsed = NowMs() - start;
        if (!ok) {
            std::fprintf(stderr, "%s: %s at %d bit/s failed\n", who, name, static_cast<int>(baud));
            return false;
        }
        total += elapsed;
        if (elapsed < low) low = elapsed;
        if (elapsed > high) high = elapsed;
    }
    std::printf("figure %s %s %d %.1f %.1f %.1f %d\n", who, name, static_cast<int>(baud), total / rounds, low, high,
                transactions);
    std::fflush(stdout);
    return true;
}

bool MeasureRate(const char* who, BenchMaster& master, SimClient& sim, int32_t baud, int rounds) {
    // A transmitter added afresh holds its factory configuration, the same for every master.
    sim.Command("remove 1");
    if (sim.Command("add 1 " + std::to_string(baud)) != "OK") {
        std::fprintf(stderr, "%s: orvi-sim refused a transmitter at %d bit/s\n", who, static_cast<int>(baud));
        return false;
    }
    int16_t values[std::size(kApplyRegisters)];
    for (size_t i = 0; i < std::size(kApplyRegisters); ++i)
        values[i] = static_cast<int16_t>(sim.Get(1, kApplyRegisters[i]));
    if (!master.UseRate(baud)) {
        std::fprintf(stderr, "%s: the line does not open at %d bit/s\n", who, static_cast<int>(baud));
        return false;
    }
    // Untimed: whatever the first transaction on a newly opened line costs is not the work's.
    if (!master.ReadOne(0)) {
        std::fprintf(stderr, "%s: no answer at %d bit/s\n", who, static_cast<int>(baud));
        return false;
    }
    const bool ok = TimeWork(who, "block", baud, 1, rounds, [&] { return master.ReadBlock(); }) &&
                    TimeWork(who, "writes", baud, 2 * static_cast<int>(std::size(kApplyRegisters)), rounds,
                             [&] {
                                 for (size_t i = 0; i < std::size(kApplyRegisters); ++i)
                                     if (!master.WriteAndReadBack(kApplyRegisters[i], values[i])) return false;
                                 return true;
                             }) &&
                    TimeWork(who, "reads", baud, kBenchSingleReads, rounds, [&] {
                        for (int reg = 0; reg < kBenchSingleReads; ++reg)
                            if (!master.ReadOne(reg)) return false;
                        return true;
                    });
    master.Close();
    return ok;
}

}  // namespace

int RunLinkWork(const char* who, BenchMaster& master, SimClient& sim, int rounds) {
    if (!sim.Connected()) {
        std::fprintf(stderr, "%s: orvi-sim control channel not reachable\n", who);
        return 1;
    }
    try {
        for (int32_t baud : kRates)
            if (!MeasureRate(who, master, sim, baud, rounds)) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", who, e.what());
        return 1;
    }
    return 0;
}
