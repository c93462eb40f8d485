// CP1252 texts of the code shown through the wide API, so they read right under any ANSI code page.
#include "ui_text.h"

namespace {
constexpr UINT kTextCodePage = 1252;
}  // namespace

std::wstring WideFrom1252(const char* text) {
    if (text == nullptr || *text == '\0') return std::wstring();
    // Every byte of CP1252 maps to one UTF-16 unit (the five unassigned ones to U+0081..), so the
    // length with its terminator is known; the call still reports what it wrote.
    const int length = MultiByteToWideChar(kTextCodePage, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    const int written = MultiByteToWideChar(kTextCodePage, 0, text, -1, &wide[0], length);
    wide.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return wide;
}

std::string Text1252FromWide(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return std::string();
    const int length = WideCharToMultiByte(kTextCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    const int written = WideCharToMultiByte(kTextCodePage, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return narrow;
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    // Invalid bytes become U+FFFD rather than cutting the text short.
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr, nullptr);
    return narrow;
}

void SetWindowText1252(HWND window, const char* text) { SetWindowTextW(window, WideFrom1252(text).c_str()); }

void SetItemText(HWND dialog, int id, const char* text) { SetDlgItemTextW(dialog, id, WideFrom1252(text).c_str()); }

std::string ItemText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(control, &wide[0], length + 1)));
    return Text1252FromWide(wide.c_str());
}

namespace {
LRESULT SendComboText(HWND dialog, int id, UINT message, WPARAM wParam, const char* text) {
    const std::wstring wide = WideFrom1252(text);
    return SendDlgItemMessageW(dialog, id, message, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
}
}  // namespace

LRESULT AddComboEntry(HWND dialog, int id, const char* text) {
    return SendComboText(dialog, id, CB_ADDSTRING, 0, text);
}

LRESULT FindComboEntry(HWND dialog, int id, const char* text) {
    return SendComboText(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
}

LRESULT SelectComboEntry(HWND dialog, int id, const char* text) {
    return SendComboText(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1), text);
}

int WINAPI ShowMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxW(owner, WideFrom1252(text).c_str(), WideFrom1252(caption).c_str(), type);
}

namespace {
// A resource named by number stays a number; a name becomes its UTF-16 form in `storage`.
LPCWSTR TemplateNameW(LPCSTR name, std::wstring* storage) {
    if (IS_INTRESOURCE(name)) return MAKEINTRESOURCEW(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    *storage = WideFrom1252(name);
    return storage->c_str();
}
}  // namespace

INT_PTR RunUnicodeDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure) {
    std::wstring name;
    return DialogBoxParamW(instance, TemplateNameW(templateName, &name), owner, procedure, 0);
}

HWND CreateUnicodeDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure) {
    std::wstring name;
    return CreateDialogParamW(instance, TemplateNameW(templateName, &name), owner, procedure, 0);
}
