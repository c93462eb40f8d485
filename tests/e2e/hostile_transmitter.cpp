// Driving Orvi.exe against a hostile transmitter: storing the case, opening the pages, reading what was heard.
#include "hostile_transmitter.h"

#include <cstdlib>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_settings.h"
#include "driver_wait.h"
#include "driver_windows.h"

namespace {

// The registers an apply may write, in its order.
const int kAppliedRegisters[] = {67, 43, 27, 26, 61, 35, 31, 50, 39};
const char kLiveRead[] = "01030000000A";

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(child);
    return TRUE;
}

}  // namespace

std::vector<HeardWrite> HeardRegisterWrites(SimClient& sim) {
    std::vector<HeardWrite> writes;
    for (const std::string& frame : sim.Log()) {
        // address 01, function 06, register, value, CRC: 16 hex digits
        if (frame.size() != 16 || frame.compare(0, 4, "0106") != 0) continue;
        writes.push_back({static_cast<int>(std::strtol(frame.substr(4, 4).c_str(), nullptr, 16)),
                          static_cast<int>(std::strtol(frame.substr(8, 4).c_str(), nullptr, 16))});
    }
    return writes;
}

bool IsPlainText(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return false;
        // Bytes CP1252 leaves undefined.
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) return false;
    }
    return true;
}

std::string UnreadableControlTexts(HWND page) {
    std::vector<HWND> children;
    EnumChildWindows(page, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::string report;
    for (HWND child : children) {
        const std::string text = TextOf(child);
        if (!IsPlainText(text)) report += std::to_string(GetDlgCtrlID(child)) + ": " + text + "\n";
    }
    return report;
}

std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

void HostileTransmitter::SetUp() {
    WithSimulator::SetUp();
    ASSERT_TRUE(sim.Connected());
    WriteSettingsFile(kSimOnCom1);
    const HostileCase& hostile = GetParam();
    for (const auto& reg : hostile.registers) sim.Set(1, reg.first, reg.second);
    for (const auto& value : hostile.privates) sim.SetPrivate(1, value.first, value.second);
    // Storing register 1 already holds the process value; said again so that no sweep can move it.
    for (const auto& reg : hostile.registers) {
        if (reg.first == 1) {
            ASSERT_EQ(sim.Command("move 1 off").rfind("OK", 0), 0u);
        }
    }
    for (int reg : kAppliedRegisters) held.emplace_back(reg, sim.Get(1, reg));
    sim.ClearLog();
}

void HostileTransmitter::OpenSheet() {
    orvi = StartOrvi("CN");
    sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    if (sheet == nullptr) {
        // Say what the program was doing, and whether the sheet was only late or never came.
        const std::string shown = DescribeProcess(orvi);
        const std::size_t heard = sim.Log().size();
        const DWORD start = GetTickCount();
        const bool late = WaitForDialog(orvi.Id(), kSheetCaption) != nullptr;
        FAIL() << "no sheet: " << shown << "; the simulator heard " << heard << " frame(s); "
               << (late ? "the sheet came " + std::to_string(GetTickCount() - start) + " ms later"
                        : std::string("no sheet after a second wait either"));
    }
    ASSERT_NE(WaitForPage(sheet, "Entrada/Saída"), nullptr);
}

HWND HostileTransmitter::ShowCalibrationPage() {
    SeenMessageBox notice;
    HWND page = ::ShowCalibrationPage(orvi.Id(), sheet, &notice);
    EXPECT_EQ(notice.caption, "Atenção") << notice.text;
    return page;
}

HWND HostileTransmitter::ShowDiagnosticPage() {
    PostSelectPage(sheet, 3);
    return WaitForPage(sheet, "Diagnóstico");
}

bool HostileTransmitter::WaitDiagnosticTicks(int ticks) {
    const int start = CountFrames(sim, kLiveRead);
    return WaitFor([&] { return CountFrames(sim, kLiveRead) >= start + ticks; }, 1500 * ticks + 1000);
}

int HostileTransmitter::HeldWord(int reg) const {
    for (const auto& entry : held)
        if (entry.first == reg) return entry.second;
    ADD_FAILURE() << "register " << reg << " was not noted before the sheet opened";
    return 0;
}
