// The Input/Output page on its real template and controls: filling, input types, units, alarm, apply.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>
#include "alarm_functions.h"
#include "config_snapshot.h"
#include "input_types.h"
#include "resource.h"
#include "sheet/io_page.h"
#include "sheet/io_page_fill.h"
#include "sheet/io_page_message_box.h"
#include "sheet/sheet_visit.h"
#include "sheet/transmitter_action.h"
#include "shell/shell_sheet_host.h"
#include "ui_text.h"

namespace {

// What the page showed in message boxes, answered without blocking.
struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<ShownBox> shownBoxes;
int boxAnswer = IDOK;

int WINAPI RecordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    shownBoxes.push_back(ShownBox{text, caption, type});
    return boxAnswer;
}

// The page's parent stands in for the sheet and counts the change markings it receives.
int changedMarks = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PSM_CHANGED) ++changedMarks;
    return DefWindowProcA(window, message, wParam, lParam);
}

const uint16_t* blockForInit = nullptr;

// The device read of the real initialisation is replaced by decoding the test's block; the rest
// of the page's life runs through IoPageProc.
INT_PTR CALLBACK PageUnderTest(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CurrentVisit()->ioPageWindow = page;
        CurrentVisit()->DecodeConfigBlock(blockForInit);
        FillIoPage(page);
        return TRUE;
    }
    return IoPageProc(page, message, wParam, lParam);
}

struct Device {
    uint16_t words[68] = {};
    Device& Set(int reg, int value) {
        words[reg] = static_cast<uint16_t>(value);
        return *this;
    }
};

// Thermocouple J at °C, -110..760, alarm "Valor mínimo" at 300 with hysteresis 2, 4-20 mA.
Device TypicalDevice() {
    Device d;
    d.Set(43, 0).Set(67, 0).Set(26, -110).Set(27, 760).Set(31, 300).Set(39, 2);
    d.Set(35, 4).Set(61, 14).Set(50, 1);
    return d;
}

class IoPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA hostClass = {};
        hostClass.lpfnWndProc = HostProc;
        hostClass.hInstance = GetModuleHandleA(NULL);
        hostClass.lpszClassName = "IoPageTestHost";
        RegisterClassA(&hostClass);
    }

    void TearDown() override {
        if (host != NULL) DestroyWindow(host);
        visit.reset();
        ioPageMessageBox = ShowMessage;
    }

    void Open(const Device& device) {
        shownBoxes.clear();
        boxAnswer = IDOK;
        ioPageMessageBox = RecordMessageBox;
        host = CreateWindowA("IoPageTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL,
                             GetModuleHandleA(NULL), NULL);
        ASSERT_NE(host, (HWND)NULL);
        visit.reset();
        visit.reset(new SheetVisit(ProgramSheetHost(), host, nullptr));
        blockForInit = device.words;
        page = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_IO_PAGE), host, PageUnderTest, 0);
        ASSERT_NE(page, (HWND)NULL);
        ShowWindow(page, SW_SHOW);
        Pump();
        changedMarks = 0;
    }

    // Delivers what is queued, within a bound, so that posted notifications have been handled.
    static void Pump() {
        MSG message;
        for (int i = 0; i < 1000 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // What "&Ler" does to the page: another block decoded, the same page filled again.
    void Refill(const Device& device) {
        visit->DecodeConfigBlock(device.words);
        FillIoPage(page);
        Pump();
    }

    void Choose(int listId, int position) {
        SendDlgItemMessageA(page, listId, CB_SETCURSEL, position, 0);
        Notify(listId, CBN_SELCHANGE);
    }

    void Notify(int controlId, int code) {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, controlId)));
        Pump();
    }

    void Click(int buttonId) {
        SendDlgItemMessageA(page, buttonId, BM_CLICK, 0, 0);
        Pump();
    }

    void Type(int editId, const char* text) {
        SetDlgItemTextA(page, editId, text);
        Pump();
    }

    LONG_PTR Apply() {
        PSHNOTIFY notification = {};
        notification.hdr.hwndFrom = host;
        notification.hdr.code = PSN_APPLY;
        SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notification));
        return GetWindowLongPtrA(page, DWLP_MSGRESULT);
    }

    std::string Text(int id) const {
        char text[64] = "";
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }

    std::string SelectedText(int listId) const {
        const LRESULT position = SendDlgItemMessageA(page, listId, CB_GETCURSEL, 0, 0);
        if (position == CB_ERR) return "<none>";
        char text[64] = "";
        SendDlgItemMessageA(page, listId, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text));
        return text;
    }

    std::string SpinRange(int spinId) const {
        int low = 0;
        int high = 0;
        SendDlgItemMessageA(page, spinId, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                            reinterpret_cast<LPARAM>(&high));
        return std::to_string(low) + ".." + std::to_string(high);
    }

    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

    std::unique_ptr<SheetVisit> visit;
    HWND host = NULL;
    HWND page = NULL;
};

TEST_F(IoPage, FillsEveryControlFromTheDecodedBlockWithoutMarkingChanges) {
    Open(TypicalDevice());
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_INPUT_TYPE_LIST, CB_GETCOUNT, 0, 0), 19);
    EXPECT_EQ(SelectedText(IDC_INPUT_TYPE_LIST), InputTypeCatalogue.celsiusNames[0]);
    EXPECT_EQ(SelectedText(IDC_OUTPUT_TYPE_LIST), "4 a 20mA");
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_ALARM_FUNCTION_LIST, CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(SelectedText(IDC_ALARM_FUNCTION_LIST), AlarmFunctionCatalogue[4]);
    EXPECT_TRUE(Checked(IDC_UNIT_CELSIUS));
    EXPECT_FALSE(Checked(IDC_UNIT_FAHRENHEIT));
    EXPECT_EQ(Text(IDC_LOWER_LIMIT), "-110");
    EXPECT_EQ(Text(IDC_UPPER_LIMIT), "760");
    EXPECT_EQ(Text(IDC_ALARM_SET_POINT), "300");
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "2");
    EXPECT_TRUE(Checked(IDC_ALARM_INITIAL_BLOCK));
    EXPECT_EQ(SpinRange(IDC_LOWER_LIMIT_SPIN), "-110..760");
    EXPECT_EQ(SpinRange(IDC_ALARM_HYSTERESIS_SPIN), "0..870");
    EXPECT_TRUE(Enabled(IDC_ALARM_SET_POINT));
    EXPECT_EQ(changedMarks, 0);
    EXPECT_EQ(visit->configSnapshot.lowerLimit, -110);
    EXPECT_EQ(visit->ioPageWindow, page);
}

// A device value beyond its up-down's range is shown as it is, without marking the page, and one
// step goes from the range's edge, not from wherever the up-down stood before.
TEST_F(IoPage, ValuesOutsideTheSpinRangesStepFromTheRangesEdge) {
    Open(TypicalDevice().Set(31, 900).Set(39, 1000));
    EXPECT_EQ(Text(IDC_ALARM_SET_POINT), "900");
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "1000");
    EXPECT_EQ(changedMarks, 0);
    EXPECT_EQ(visit->configSnapshot.alarmSetPoint, 900);
    SendDlgItemMessageA(page, IDC_ALARM_SET_POINT, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(IDC_ALARM_SET_POINT), "759");
    EXPECT_EQ(visit->configSnapshot.alarmSetPoint, 759);
    SendDlgItemMessageA(page, IDC_ALARM_HYSTERESIS, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "869");
    EXPECT_EQ(visit->configSnapshot.alarmHysteresis, 869);
}

TEST_F(IoPage, InputTypeChangeRescalesAndSetsSpinRanges) {
    Open(TypicalDevice());
    Choose(IDC_INPUT_TYPE_LIST, 1);  // thermocouple K
    EXPECT_EQ(Text(IDC_LOWER_LIMIT), "-150");
    EXPECT_EQ(Text(IDC_UPPER_LIMIT), "1370");
    EXPECT_EQ(Text(IDC_ALARM_SET_POINT), "566");
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "2");
    EXPECT_EQ(SpinRange(IDC_LOWER_LIMIT_SPIN), "-150..1370");
    EXPECT_EQ(SpinRange(IDC_UPPER_LIMIT_SPIN), "-150..1370");
    EXPECT_EQ(SpinRange(IDC_ALARM_SET_POINT_SPIN), "-150..1370");
    EXPECT_EQ(SpinRange(IDC_ALARM_HYSTERESIS_SPIN), "0..1520");
    EXPECT_EQ(visit->configSnapshot.inputType, 1);
    EXPECT_EQ(visit->configSnapshot.alarmSetPoint, 566);
    EXPECT_GT(changedMarks, 0);

    Notify(IDC_INPUT_TYPE_LIST, CBN_SETFOCUS);  // a repeat from the same type changes nothing
    EXPECT_EQ(Text(IDC_UPPER_LIMIT), "1370");
}

TEST_F(IoPage, LinearTypesDisableTheUnitButtonsAndTheirLabel) {
    // At the fill already, and again at a refill ("&Ler") of another type.
    Open(TypicalDevice().Set(43, 17).Set(26, 0).Set(27, 100));
    EXPECT_FALSE(Enabled(IDC_UNIT_FAHRENHEIT));
    EXPECT_FALSE(Enabled(IDC_UNIT_LABEL));
    Refill(TypicalDevice());
    EXPECT_TRUE(Enabled(IDC_UNIT_FAHRENHEIT));
    Refill(TypicalDevice().Set(43, 16));
    EXPECT_FALSE(Enabled(IDC_UNIT_CELSIUS));
    Refill(TypicalDevice());
    for (int code = 16; code <= 18; ++code) {
        Choose(IDC_INPUT_TYPE_LIST, code);
        EXPECT_FALSE(Enabled(IDC_UNIT_CELSIUS)) << code;
        EXPECT_FALSE(Enabled(IDC_UNIT_FAHRENHEIT)) << code;
        EXPECT_FALSE(Enabled(IDC_UNIT_LABEL)) << code;
    }
    Choose(IDC_INPUT_TYPE_LIST, 15);
    EXPECT_TRUE(Enabled(IDC_UNIT_CELSIUS));
    EXPECT_TRUE(Enabled(IDC_UNIT_FAHRENHEIT));
    EXPECT_TRUE(Enabled(IDC_UNIT_LABEL));
}

TEST_F(IoPage, UnitSwitchConvertsTheHysteresisThereAndBack) {
    Open(TypicalDevice());
    Click(IDC_UNIT_FAHRENHEIT);
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "4");  // a difference: 2 °C is 3.6 °F, no 32 added, rounded
    EXPECT_EQ(Text(IDC_LOWER_LIMIT), "-166");
    EXPECT_EQ(Text(IDC_ALARM_SET_POINT), "572");
    EXPECT_EQ(visit->configSnapshot.unit, 1);
    EXPECT_EQ(visit->configSnapshot.alarmHysteresis, 4);
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_INPUT_TYPE_LIST, CB_GETCOUNT, 0, 0), 19);
    EXPECT_EQ(SelectedText(IDC_INPUT_TYPE_LIST), InputTypeCatalogue.fahrenheitNames[0]);
    EXPECT_EQ(SpinRange(IDC_LOWER_LIMIT_SPIN), "-166..1400");
    EXPECT_GT(changedMarks, 0);

    Click(IDC_UNIT_CELSIUS);
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "2");  // the round trip gives the 2 °C back
    EXPECT_EQ(visit->configSnapshot.unit, 0);
}

TEST_F(IoPage, TenthsPt100InFahrenheitIsRejectedOnApplyWithTheStoredLimit) {
    Open(TypicalDevice().Set(43, 6).Set(26, -1999).Set(27, 5300).Set(31, 0).Set(35, 0));
    Click(IDC_UNIT_FAHRENHEIT);
    EXPECT_EQ(Text(IDC_LOWER_LIMIT), "-3278");  // -199.9 °C is -327.8 °F, in tenths
    EXPECT_EQ(Text(IDC_UPPER_LIMIT), "9860");

    EXPECT_EQ(Apply(), PSNRET_INVALID);  // the sheet stays open, nothing written
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "O Limite Inferior não pode ser menor que o limite do sensor (-1999°F)!");
    EXPECT_EQ(shownBoxes[0].caption, "Inconsistência");
    EXPECT_EQ(shownBoxes[0].type, static_cast<UINT>(MB_ICONWARNING | MB_OK));
}

TEST_F(IoPage, TypedNumberBeyondSixteenBitsDoesNotWrapIntoAnAcceptedValue) {
    Open(TypicalDevice().Set(43, 16).Set(26, 0).Set(27, 1000).Set(35, 0));
    Type(IDC_UPPER_LIMIT, "70000");
    EXPECT_EQ(visit->configSnapshot.upperLimit, 32767);
    EXPECT_EQ(Apply(), PSNRET_INVALID);
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "O Limite Superior não pode ser maior que o limite do sensor (9999°C)!");
}

// The hysteresis typed past the range its up-down offers is refused as the other checks are, after
// them; without an alarm function it is neither judged nor written.
TEST_F(IoPage, AHysteresisBeyondItsSpinIsRejectedOnApplyAfterTheLimitChecks) {
    Open(TypicalDevice());
    Type(IDC_ALARM_HYSTERESIS, "871");
    EXPECT_EQ(Apply(), PSNRET_INVALID);
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "A Histerese de Alarme deve estar entre 0 e 870!");
    EXPECT_EQ(shownBoxes[0].caption, "Inconsistência");
    Type(IDC_LOWER_LIMIT, "-111");
    EXPECT_EQ(Apply(), PSNRET_INVALID);
    ASSERT_EQ(shownBoxes.size(), 2u);
    EXPECT_EQ(shownBoxes[1].text, "O Limite Inferior não pode ser menor que o limite do sensor (-110°C)!");
}

TEST_F(IoPage, TheAlreadySelectedUnitButtonMarksNothing) {
    Open(TypicalDevice());
    Click(IDC_UNIT_CELSIUS);
    EXPECT_EQ(changedMarks, 0);
    EXPECT_EQ(Text(IDC_ALARM_HYSTERESIS), "2");
    EXPECT_EQ(visit->configSnapshot.unit, 0);
}

TEST_F(IoPage, ChoicesMadeWhileAnActionTalksToTheTransmitterAreTakenBack) {
    Open(TypicalDevice());
    const ConfigSnapshot before = visit->configSnapshot;
    const std::string function = SelectedText(IDC_ALARM_FUNCTION_LIST);
    const std::string output = SelectedText(IDC_OUTPUT_TYPE_LIST);
    const std::string input = SelectedText(IDC_INPUT_TYPE_LIST);
    {
        TransmitterAction apply;  // as PSN_APPLY holds it while it writes
        Click(IDC_UNIT_FAHRENHEIT);
        Click(IDC_ALARM_INITIAL_BLOCK);
        Choose(IDC_ALARM_FUNCTION_LIST, 0);
        Choose(IDC_OUTPUT_TYPE_LIST, 0);
        Choose(IDC_INPUT_TYPE_LIST, 3);
        NMUPDOWN step = {};
        step.hdr.hwndFrom = GetDlgItem(page, IDC_ALARM_HYSTERESIS_SPIN);
        step.hdr.idFrom = IDC_ALARM_HYSTERESIS_SPIN;
        step.hdr.code = UDN_DELTAPOS;
        step.iDelta = 1;
        SendMessageA(page, WM_NOTIFY, IDC_ALARM_HYSTERESIS_SPIN, reinterpret_cast<LPARAM>(&step));
        EXPECT_EQ(GetWindowLongPtrA(page, DWLP_MSGRESULT), TRUE) << "an up-down step under the apply";
    }
    EXPECT_TRUE(Checked(IDC_UNIT_CELSIUS));
    EXPECT_FALSE(Checked(IDC_UNIT_FAHRENHEIT));
    EXPECT_TRUE(Checked(IDC_ALARM_INITIAL_BLOCK));
    EXPECT_EQ(SelectedText(IDC_ALARM_FUNCTION_LIST), function);
    EXPECT_EQ(SelectedText(IDC_OUTPUT_TYPE_LIST), output);
    EXPECT_EQ(SelectedText(IDC_INPUT_TYPE_LIST), input);
    EXPECT_EQ(Text(IDC_LOWER_LIMIT), "-110");
    EXPECT_EQ(visit->configSnapshot.unit, before.unit);
    EXPECT_EQ(visit->configSnapshot.alarmInitialBlock, before.alarmInitialBlock);
    EXPECT_EQ(visit->configSnapshot.alarmFunction, before.alarmFunction);
    EXPECT_EQ(visit->configSnapshot.outputType, before.outputType);
    EXPECT_EQ(visit->configSnapshot.inputType, before.inputType);
    EXPECT_EQ(changedMarks, 0);

    // Once the action ends the same click is taken.
    Click(IDC_UNIT_FAHRENHEIT);
    EXPECT_EQ(visit->configSnapshot.unit, 1);
}

TEST_F(IoPage, AlarmFunctionZeroDisablesSetPointHysteresisAndBlocking) {
    Open(TypicalDevice().Set(35, 0));
    const int alarmControls[] = {IDC_ALARM_SET_POINT, IDC_ALARM_SET_POINT_SPIN, IDC_ALARM_INITIAL_BLOCK,
                                 IDC_ALARM_HYSTERESIS, IDC_ALARM_HYSTERESIS_SPIN};
    for (int id : alarmControls) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_ALARM_FUNCTION_LIST));

    Choose(IDC_ALARM_FUNCTION_LIST, 2);
    EXPECT_EQ(visit->configSnapshot.alarmFunction, 4);  // "Valor mínimo"
    for (int id : alarmControls) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_GT(changedMarks, 0);
}

TEST_F(IoPage, DeviceCodesNoEntryShowsSelectNothingAndStayAsTheyAre) {
    Open(TypicalDevice().Set(35, 2).Set(43, 25).Set(67, 5));
    EXPECT_EQ(SelectedText(IDC_ALARM_FUNCTION_LIST), "<none>");
    EXPECT_EQ(SelectedText(IDC_INPUT_TYPE_LIST), "<none>");
    EXPECT_TRUE(Enabled(IDC_ALARM_SET_POINT));
    EXPECT_FALSE(Checked(IDC_UNIT_CELSIUS));
    EXPECT_FALSE(Checked(IDC_UNIT_FAHRENHEIT));

    Notify(IDC_ALARM_FUNCTION_LIST, CBN_SETFOCUS);
    Notify(IDC_INPUT_TYPE_LIST, CBN_DROPDOWN);
    EXPECT_EQ(visit->configSnapshot.alarmFunction, 2);
    EXPECT_EQ(visit->configSnapshot.inputType, 25);
    EXPECT_EQ(Text(IDC_UPPER_LIMIT), "760");
    EXPECT_EQ(changedMarks, 0);
}

TEST_F(IoPage, FillAfterThePageIsGoneDoesNothing) {
    Open(TypicalDevice());
    HWND gone = page;
    DestroyWindow(page);
    EXPECT_EQ(visit->ioPageWindow, (HWND)NULL);
    FillIoPage(visit->ioPageWindow);
    FillIoPage(gone);
    EXPECT_FALSE(IsWindow(gone));
}

}  // namespace
