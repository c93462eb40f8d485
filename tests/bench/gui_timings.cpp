// The timed user steps, driven with the end-to-end driver's helpers.
#include "gui_timings.h"

#include <string>

#include "driver_message_box.h"
#include "driver_paths.h"
#include "driver_programs.h"
#include "driver_settings.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "live_sheet.h"
#include "resource.h"

namespace {

// Finer than the driver's own polling, which would add up to 20 ms to every figure.
template <typename Condition>
bool WaitClosely(Condition condition, DWORD limitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= limitMs) return false;
        Sleep(1);
    }
    return true;
}

constexpr DWORD kStepLimitMs = 60000;

bool IoListsFilled(HWND sheet) {
    HWND page = CurrentPage(sheet);
    return page != nullptr && ComboCount(page, IDC_ALARM_FUNCTION_LIST) == 7 &&
           !ComboSelection(page, IDC_INPUT_TYPE_LIST).empty();
}

}  // namespace

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PutTransmitterAt(SimClient& sim, int32_t baud) {
    sim.Command("remove 1");
    sim.Command("add 1 " + std::to_string(baud));
    WriteSettingsFile("[Communication]\r\nAddress=1\r\nPort=COM1\r\nBaud=" + std::to_string(baud) + "\r\n");
}

SheetTimes OpenAndClose(bool ok) {
    SheetTimes times;
    const double start = NowMs();
    DriverProcess orvi = StartOrvi("CN");
    HWND sheet = nullptr;
    if (!WaitClosely(
            [&] {
                return (sheet = FindTopLevel(orvi.Id(), "#32770", kSheetCaption, true)) != nullptr &&
                       IoListsFilled(sheet);
            },
            kStepLimitMs))
        return times;
    times.openMs = NowMs() - start;
    const double pressed = NowMs();
    PressButton(sheet, ok ? IDOK : IDCANCEL);
    if (WaitClosely([&] { return !orvi.Running(); }, kStepLimitMs)) times.closeMs = NowMs() - pressed;
    return times;
}

double EmptyProgramStartMs(const std::string& program) {
    const double start = NowMs();
    DriverProcess empty = DriverProcess::Start(CommandLine(program, ""));
    HWND window = nullptr;
    if (!empty.Valid() ||
        !WaitClosely([&] { return (window = FindTopLevel(empty.Id(), "OrviBenchEmpty", "Empty", true)) != nullptr; },
                     kStepLimitMs))
        return -1;
    const double elapsed = NowMs() - start;
    PostMessageA(window, WM_CLOSE, 0, 0);
    empty.WaitExit(kWaitMs);
    return elapsed;
}

double SearchTime() {
    DriverProcess orvi = StartOrvi("BA");
    HWND dialog = WaitForDialog(orvi.Id(), "Comunicação");
    if (dialog == nullptr) return -1;
    PressButton(dialog, IDC_COMM_SEARCH);
    const SeenMessageBox confirm = WaitForMessageBox(orvi.Id());
    if (confirm.window == nullptr) return -1;
    const double start = NowMs();
    PressButton(confirm.window, IDOK);
    HWND done = nullptr;
    if (!WaitClosely([&] { return (done = FindTopLevel(orvi.Id(), "#32770", "Sucesso", true)) != nullptr; },
                     kStepLimitMs))
        return -1;
    const double elapsed = NowMs() - start;
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    if (box.text != "Busca automática concluída!") return -1;
    AnswerMessageBox(box, IDOK);
    PressButton(dialog, IDC_COMM_CLOSE);
    orvi.WaitExit(kWaitMs);
    return elapsed;
}

DriverProcess OpenDiagnosticPage(HWND* sheet) {
    DriverProcess orvi = StartOrvi("CN");
    *sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    if (*sheet == nullptr) return DriverProcess();
    PostSelectPage(*sheet, 3);
    if (WaitForPage(*sheet, "Diagnóstico") == nullptr) return DriverProcess();
    return orvi;
}
