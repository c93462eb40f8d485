// Times ReadConfigBlock against orvi-sim at several line speeds and prints it beside the line-time model.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "comm_settings.h"
#include "serial_port.h"
#include "sim_client.h"
#include "transactions.h"

namespace {

// One try: request and reply on the line at 10 bits a byte, the turnaround wait, and the
// inter-byte time-out that ends the read (more bytes are asked for than a clean reply holds).
double ModelMs(int32_t baud) {
    const double lineBytes = 8 + 2 * kConfigBlockWords + 5;
    return lineBytes * 10.0 * 1000.0 / baud + TurnaroundMs(baud) + ReadTimeoutsFor(baud).intervalMs;
}

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    SimClient sim(SimControlPortFromEnv());
    if (!sim.Connected()) {
        std::fprintf(stderr, "orvi-sim control channel not reachable\n");
        return 1;
    }
    std::printf("| bit/s | ReadConfigBlock measured (ms, mean of %d) | min | max | model (ms) |\n", rounds);
    std::printf("|---|---|---|---|---|\n");
    for (int32_t baud : {1200, 9600, 19200}) {
        sim.Command("remove 1");
        sim.Command("add 1 " + std::to_string(baud));
        std::strcpy(commSettings.portName, "COM1");
        commSettings.baudRate = baud;
        commSettings.deviceAddress = 1;
        ClosePort();
        if (!OpenPort()) {
            std::fprintf(stderr, "COM1 does not open\n");
            return 1;
        }
        uint16_t block[kConfigBlockWords];
        double total = 0, low = 1e9, high = 0;
        for (int i = 0; i < rounds; ++i) {
            const double start = NowMs();
            const LinkError result = ReadConfigBlock(block);
            const double elapsed = NowMs() - start;
            if (result != kLinkOk) {
                std::fprintf(stderr, "ReadConfigBlock at %d failed: %u\n", static_cast<int>(baud), result);
                return 1;
            }
            total += elapsed;
            if (elapsed < low) low = elapsed;
            if (elapsed > high) high = elapsed;
        }
        std::printf("| %d | %.0f | %.0f | %.0f | %.0f |\n", static_cast<int>(baud), total / rounds, low, high,
                    ModelMs(baud));
    }
    ClosePort();
    return 0;
}
