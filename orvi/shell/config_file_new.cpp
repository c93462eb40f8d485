// "Novo arquivo de configuração...": the input type asked in a dialog, the file named in the Save
// dialog, then the factory configuration of that type on the sheet, written by OK or Apply.
#include <ctime>
#include <string>

#include "factory_configuration.h"
#include "file_extras.h"
#include "firmware_differences.h"
#include "input_types.h"
#include "parameter_keys.h"
#include "records_platform.h"
#include "resource.h"
#include "sheet/config_sheet.h"
#include "sheet/sheet_visit.h"
#include "shell/desk_file_commands.h"
#include "shell/file_dialogs.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "temperature_units.h"
#include "text_convert.h"
#include "ui_text.h"

namespace {
const char kCaption[] = "Novo arquivo de configuração";

// What the dialog asks for.
struct NewFileChoice {
    int inputType = 0;
    std::string tag;  // UTF-8, as typed; empty for none
};

// The tag as the file will hold it: the reader trims blanks and refuses control characters.
bool TakeTag(HWND dialog, std::string* tag) {
    HWND edit = GetDlgItem(dialog, IDC_NEW_FILE_TAG);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
    const size_t begin = text.find_first_not_of(L" \t");
    text = begin == std::wstring::npos ? L"" : text.substr(begin, text.find_last_not_of(L" \t") - begin + 1);
    for (wchar_t c : text) {
        if (c < 0x20 && c != L'\t') {
            ShowMessage(dialog, "O tag não pode ter caracteres de controle.", kCaption, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    *tag = Utf8FromWide(text);
    return true;
}

INT_PTR CALLBACK NewFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        // The factory configuration counts in °C: the list names the types as they come.
        for (int code = 0; code < kInputTypeCount; ++code)
            AddComboEntry(dialog, IDC_NEW_FILE_INPUT_TYPE, InputTypeName(code, kUnitCelsius));
        SendDlgItemMessageW(dialog, IDC_NEW_FILE_INPUT_TYPE, CB_SETCURSEL, 0, 0);
        CenterDialog(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        auto* choice = reinterpret_cast<NewFileChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
        if (LOWORD(wParam) != IDOK) return TRUE;
        const LRESULT position = SendDlgItemMessageW(dialog, IDC_NEW_FILE_INPUT_TYPE, CB_GETCURSEL, 0, 0);
        if (!IsKnownInputType(static_cast<int>(position)) || !TakeTag(dialog, &choice->tag)) return TRUE;
        choice->inputType = static_cast<int>(position);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    default: return FALSE;
    }
}

// The name the Save dialog proposes: the tag's, with what a file name cannot hold replaced.
std::wstring ProposedName(const std::string& tag) {
    if (tag.empty()) return L"orvi-novo.ini";
    std::wstring name = WideFromUtf8(tag);
    for (wchar_t& c : name)
        if (std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) c = L'-';
    return L"orvi-" + name + L".ini";
}

// Where the file's values came from, for its origin comment (UTF-8).
std::string NewFileSource(int inputType) {
    char when[32];
    const std::tm now = LocalTimeOf(std::time(nullptr));
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &now);
    return Format("configuração de fábrica da entrada %d (%s), feita no configurador em %s", inputType,
                  InputTypeText(inputType, kUnitCelsius).c_str(), when);
}
}  // namespace

void NewConfigurationFile(HWND owner) {
    NewFileChoice choice;
    if (DialogBoxParamW(programInstance, MAKEINTRESOURCEW(IDD_NEW_CONFIG_FILE), owner, NewFileDialogProc,
                        reinterpret_cast<LPARAM>(&choice)) != IDOK)
        return;
    // Named now, written only by OK or Apply: Cancel on the sheet leaves no file behind.
    const std::wstring path = AskFileToSave(owner, kCaption, kConfigFileFilter, L"ini", ProposedName(choice.tag));
    if (path.empty()) return;
    DeskFile desk;
    desk.path = path;
    desk.values = FactoryConfiguration(choice.inputType);
    desk.extras.tag = choice.tag;
    desk.extras.firmwareVersion = desk.values.firmwareVersion;
    desk.extras.mapVersion = kRegisterMapVersion;
    desk.extras.source = NewFileSource(choice.inputType);
    OpenDeskFileSheet(ProgramSheetHost(), mainWindow != NULL ? mainWindow : owner, desk);
}
