// "Histórico de alterações...": the journal's lines of the transmitter on the line, newest first.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "journal.h"
#include "live_diagnostic_texts.h"
#include "records_platform.h"
#include "resource.h"
#include "sheet/transmitter_action.h"
#include "shell/dialog_centring.h"
#include "shell/records_commands.h"
#include "shell/records_transmitter.h"
#include "shell/shell_state.h"
#include "text_convert.h"
#include "ui_text.h"

namespace {

const char kCaption[] = "Histórico de alterações";

// What the dialog shows; set for the dialog's lifetime (one modal dialog at a time).
struct HistoryView {
    std::string serial;  // CP1252
    std::wstring journalPath;
    std::vector<JournalEntry> newest;  // newest first
    int damagedLines = 0;
};
const HistoryView* shownHistory = nullptr;

struct Column {
    const char* title;  // CP1252
    int width;          // dialog units
};
const Column kColumns[] = {{"Hora", 78},  {"Programa", 52}, {"Parâmetro", 70},
                           {"Antes", 40}, {"Depois", 40},   {"Resultado", 140}};

// The journal's UTC time ("2026-12-08T14:05:09Z") in the local time people read; as written otherwise.
std::wstring LocalTimeText(const std::string& utc) {
    unsigned year, month, day, hour, minute, second;
    char zone = 0;
    const int fields =
        std::sscanf(utc.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second, &zone);
    if (fields != 7 || zone != 'Z') return WideFromUtf8(utc);
    const SYSTEMTIME time = {
        static_cast<WORD>(year),   static_cast<WORD>(month),  0, static_cast<WORD>(day), static_cast<WORD>(hour),
        static_cast<WORD>(minute), static_cast<WORD>(second), 0};
    SYSTEMTIME local = {};
    // Null: the time zone now in effect, with its daylight-saving rule for that date.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &time, &local)) return WideFromUtf8(utc);
    wchar_t text[32];
    swprintf(text, 32, L"%02u/%02u/%04u %02u:%02u:%02u", static_cast<unsigned>(local.wDay),
             static_cast<unsigned>(local.wMonth), static_cast<unsigned>(local.wYear),
             static_cast<unsigned>(local.wHour), static_cast<unsigned>(local.wMinute),
             static_cast<unsigned>(local.wSecond));
    return text;
}

// The row's texts, in the order of kColumns.
std::vector<std::wstring> RowTexts(const JournalEntry& entry) {
    return {LocalTimeText(entry.time),      WideFromUtf8(entry.program),
            WideFromUtf8(entry.key),        entry.hasBefore ? std::to_wstring(entry.before) : L"?",
            std::to_wstring(entry.written), WideFromUtf8(entry.result)};
}

void AddColumns(HWND list) {
    for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
        RECT width = {0, 0, kColumns[i].width, 0};
        MapDialogRect(GetParent(list), &width);
        const std::wstring title = WideFrom1252(kColumns[i].title);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = width.right;
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void AddRows(HWND list, const std::vector<JournalEntry>& entries) {
    int row = 0;
    for (const JournalEntry& entry : entries) {
        std::vector<std::wstring> texts = RowTexts(entry);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = &texts[0][0];
        row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) return;
        for (int sub = 1; sub < static_cast<int>(texts.size()); ++sub) {
            item.iItem = row;
            item.iSubItem = sub;
            item.pszText = &texts[sub][0];
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
        ++row;
    }
}

std::string NoteText(const HistoryView& view) {
    char note[256];
    const int count = static_cast<int>(view.newest.size());
    if (count == 0)
        std::snprintf(note, sizeof note, "Nenhuma alteração do Orvi de número de série %s no diário.",
                      view.serial.c_str());
    else
        std::snprintf(note, sizeof note, "Orvi de número de série %s: %d alteração(ões), a mais recente primeiro.",
                      view.serial.c_str(), count);
    std::string text = note;
    if (view.damagedLines > 0)
        text += " " + std::to_string(view.damagedLines) + " linha(s) danificada(s) do diário ignorada(s).";
    return text;
}

// Centred over the window it was opened from (the sheet, or the service window), and kept whole on
// that window's screen: the list is wider than the sheet.
void CentreOverOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner == NULL || !IsWindowVisible(owner)) return;
    RECT ownerRect, dialogRect;
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(dialog, &dialogRect);
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    DialogOrigin origin =
        CentredOrigin((ownerRect.left + ownerRect.right) / 2, (ownerRect.top + ownerRect.bottom) / 2, width, height);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (origin.left + width > work.right) origin.left = work.right - width;
        if (origin.top + height > work.bottom) origin.top = work.bottom - height;
        if (origin.left < work.left) origin.left = work.left;
        if (origin.top < work.top) origin.top = work.top;
    }
    MoveWindow(dialog, origin.left, origin.top, width, height, FALSE);
}

void FillHistoryDialog(HWND dialog, const HistoryView& view) {
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    AddColumns(list);
    AddRows(list, view.newest);
    SetItemText(dialog, IDC_HISTORY_NOTE, NoteText(view).c_str());
    const std::wstring journal = WideFrom1252("Diário: ") + view.journalPath;
    SetDlgItemTextW(dialog, IDC_HISTORY_JOURNAL, journal.c_str());
    CentreOverOwner(dialog);
}

INT_PTR CALLBACK ChangeHistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (shownHistory != nullptr) FillHistoryDialog(dialog, *shownHistory);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

// The serial number of the transmitter on the line (CP1252); false when it could not be read.
bool SerialOfTransmitter(HWND owner, std::string* serial) {
    TransmitterAction action;
    if (action.Refused()) return false;
    ConfigSnapshot config = {};
    if (!ReadTransmitterConfiguration(owner, "Sem o número de série do Orvi o histórico não pode ser mostrado.",
                                      &config))
        return false;
    *serial = SerialNumberText(config.serialNumber);
    return true;
}

// The journal's lines of that serial number, newest first; false (and said) when the journal cannot be read.
bool ReadHistory(HWND owner, HistoryView* view) {
    const std::string path = JournalPath();
    view->journalPath = WideFromUtf8(path);
    JournalFilter filter;
    filter.serial = Cp1252ToUtf8(view->serial);
    std::vector<JournalEntry> entries;
    std::string problem;
    if (!ReadJournalEntries(filter, &entries, &view->damagedLines, &problem)) {
        const std::wstring message =
            WideFrom1252("O diário de alterações não pôde ser lido:\n") +
            (path.empty() ? WideFrom1252("não há pasta de dados do usuário (LOCALAPPDATA).") : view->journalPath);
        MessageBoxW(owner, message.c_str(), WideFrom1252(kCaption).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    // The journal is appended in the order of the writes: its end is the newest.
    view->newest.assign(entries.rbegin(), entries.rend());
    return true;
}

}  // namespace

void ShowChangeHistory(HWND owner) {
    HistoryView view;
    if (!SerialOfTransmitter(owner, &view.serial) || !ReadHistory(owner, &view)) return;
    shownHistory = &view;
    RunDialog(MAKEINTRESOURCEA(IDD_CHANGE_HISTORY), owner, ChangeHistoryProc);
    shownHistory = nullptr;
}
