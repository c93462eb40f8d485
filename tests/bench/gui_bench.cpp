// Measures Orvi.exe and Configurador.exe under Wine against orvi-sim and prints the tables of docs/performance.md.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_probe.h"
#include "driver_launcher.h"
#include "driver_paths.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "gui_timings.h"
#include "line_time_model.h"
#include "live_sheet.h"

namespace {

const int32_t kRates[] = {1200, 9600, 19200};
// The polling's processor share is measured at every rate the page can poll at: the waits inside
// a transaction grow as the rate falls, so a wait that burns the processor shows at 1200 first.
const int32_t kPollRates[] = {1200, 2400, 4800, 9600, 19200};
constexpr unsigned kCpuSeconds = 20;

struct Series {
    std::vector<double> values;
    void Add(double value) {
        if (value >= 0) values.push_back(value);
    }
    std::string Cell() const {
        if (values.empty()) return "failed";
        double total = 0;
        for (double v : values) total += v;
        char text[64];
        std::snprintf(text, sizeof text, "%.0f (%.0f..%.0f)", total / values.size(),
                      *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()));
        return text;
    }
    double Mean() const {
        double total = 0;
        for (double v : values) total += v;
        return values.empty() ? -1 : total / values.size();
    }
};

struct RateFigures {
    Series open, ok, cancel, search;
};

// The empty program built beside this one.
std::string EmptyProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "orvi_bench_empty.exe";
}

// Machine-readable for scripts/bench: "figure gui WORK BAUD MEAN MIN MAX COUNT" (ms).
void PrintFigure(const char* work, int32_t baud, const Series& series) {
    if (series.values.empty()) return;
    std::printf("figure gui %s %d %.1f %.1f %.1f %u\n", work, static_cast<int>(baud), series.Mean(),
                *std::min_element(series.values.begin(), series.values.end()),
                *std::max_element(series.values.begin(), series.values.end()),
                static_cast<unsigned>(series.values.size()));
}

RateFigures MeasureRate(SimClient& sim, int32_t baud, int rounds, Series& emptyStarts) {
    RateFigures figures;
    for (int i = 0; i < rounds; ++i) {
        // Interleaved with the sheet openings, so that both meet the same load on the machine.
        emptyStarts.Add(EmptyProgramStartMs(EmptyProgram()));
        PutTransmitterAt(sim, baud);
        const SheetTimes withOk = OpenAndClose(true);
        figures.open.Add(withOk.openMs);
        figures.ok.Add(withOk.closeMs);
        const SheetTimes withCancel = OpenAndClose(false);
        figures.open.Add(withCancel.openMs);
        figures.cancel.Add(withCancel.closeMs);
        PutTransmitterAt(sim, baud);
        figures.search.Add(SearchTime());
    }
    return figures;
}

// CPU share while the Diagnostic page polls, from scripts/bench's reading of /proc; then the peak memory.
void MeasureDiagnosticPolling(SimClient& sim, int32_t baud) {
    PutTransmitterAt(sim, baud);
    HWND sheet = nullptr;
    DriverProcess orvi = OpenDiagnosticPage(&sheet);
    if (!orvi.Valid()) {
        std::printf("| %d | failed | | | |\n", static_cast<int>(baud));
        return;
    }
    sim.ClearLog();
    const std::string cpu = AskProbe("cpu-Orvi.exe-" + std::to_string(kCpuSeconds), (kCpuSeconds + 30) * 1000);
    const int polls = CountFrames(sim, "01030000000A");
    const std::string memory = AskProbe("hwm-Orvi.exe", 30000);
    PressButton(sheet, IDCANCEL);
    orvi.WaitExit(kWaitMs);
    std::printf("| %d | %s | %d | %s |\n", static_cast<int>(baud), cpu.empty() ? "failed" : cpu.c_str(), polls,
                memory.empty() ? "failed" : memory.c_str());
}

std::string LauncherPeakMemory() {
    DriverProcess launcher = DriverProcess::Start(CommandLine(LauncherProgram(), ""), DistFolder());
    HWND window = WaitForLauncherWindow(launcher.Id());
    if (window == nullptr) return "failed";
    const std::string memory = AskProbe("hwm-Configurador.exe", 30000);
    PostMessageA(window, WM_CLOSE, 0, 0);
    launcher.WaitExit(kWaitMs);
    return memory.empty() ? "failed" : memory;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    SimClient sim(SimControlPortFromEnv());
    if (!sim.Connected()) {
        std::fprintf(stderr, "orvi-sim control channel not reachable\n");
        return 1;
    }
    std::vector<RateFigures> figures;
    Series emptyStarts;
    for (int32_t baud : kRates) figures.push_back(MeasureRate(sim, baud, rounds, emptyStarts));
    PrintFigure("empty-start", 0, emptyStarts);
    for (size_t i = 0; i < figures.size(); ++i) {
        PrintFigure("open", kRates[i], figures[i].open);
        PrintFigure("ok", kRates[i], figures[i].ok);
        PrintFigure("cancel", kRates[i], figures[i].cancel);
    }

    std::printf("### Opening the sheet and applying\n\n");
    std::printf("Mean (min..max) in ms; %d rounds, two sheet openings each.\n\n", rounds);
    std::printf(
        "| bit/s | start -> Input/Output filled | model: one ReadConfigBlock | OK, no change -> exit | "
        "Cancel -> exit | apply (OK minus Cancel) | model: nine writes with read-back |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (size_t i = 0; i < figures.size(); ++i) {
        const RateFigures& f = figures[i];
        const double apply = f.ok.Mean() >= 0 && f.cancel.Mean() >= 0 ? f.ok.Mean() - f.cancel.Mean() : -1;
        std::printf("| %d | %s | %.0f | %s | %s | %.0f | %.0f |\n", static_cast<int>(kRates[i]), f.open.Cell().c_str(),
                    ConfigBlockReadMs(kRates[i]), f.ok.Cell().c_str(), f.cancel.Cell().c_str(), apply,
                    FullApplyMs(kRates[i]));
    }
    std::printf("\n### Automatic search\n\n");
    std::printf("| transmitter at bit/s | confirm -> \"Busca automática concluída!\" (ms) | model (ms) |\n");
    std::printf("|---|---|---|\n");
    for (size_t i = 0; i < figures.size(); ++i)
        std::printf("| %d | %s | %.0f |\n", static_cast<int>(kRates[i]), figures[i].search.Cell().c_str(),
                    SearchMs(kRates[i]));

    std::printf("\n### Diagnostic page polling for %u s\n\n", kCpuSeconds);
    std::printf(
        "| bit/s | CPU share of Orvi.exe (%%) / of the prefix's wineserver (%%) | polls | "
        "peak memory of Orvi.exe (VmHWM) |\n");
    std::printf("|---|---|---|---|\n");
    for (int32_t baud : kPollRates) MeasureDiagnosticPolling(sim, baud);

    std::printf("\n### Peak memory of the launcher\n\n");
    std::printf("| program | VmHWM |\n|---|---|\n| Configurador.exe (menu bar shown, then closed) | %s |\n",
                LauncherPeakMemory().c_str());
    PutTransmitterAt(sim, 9600);
    return 0;
}
