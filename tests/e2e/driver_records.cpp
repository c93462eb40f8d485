// The journal file, list-view rows read across processes, and the Save dialog answered as a user would.
#include "driver_records.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

#include "driver_wait.h"
#include "driver_windows.h"

std::string JournalFilePath() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Tavelo\\journal.jsonl";
}

std::vector<std::string> JournalLines() {
    std::vector<std::string> lines;
    std::ifstream in(JournalFilePath(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void RemoveJournal() { DeleteFileA(JournalFilePath().c_str()); }

void WriteJournal(const std::string& text) {
    const std::string path = JournalFilePath();
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &count)) return rows;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return rows;
    constexpr int kTextUnits = 512;
    const SIZE_T bytes = sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    for (int row = 0; remote != nullptr && row < static_cast<int>(count); ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = kTextUnits;
            wchar_t text[kTextUnits] = {};
            DWORD_PTR length = 0;
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000,
                                &length);
            ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
            char narrow[kTextUnits * 2] = {};
            WideCharToMultiByte(1252, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            texts.push_back(narrow);
        }
        rows.push_back(texts);
    }
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rows;
}

bool ChooseThroughFileDialog(DWORD processId, const std::string& caption, const std::wstring& path,
                             std::string* proposed) {
    // The Explorer-style dialog names its file in combo box cmb13, older templates in edit edt1. Looked for by
    // that control too: a dialog that leads to the file dialog may carry its caption and still be closing.
    HWND dialog = nullptr;
    HWND name = nullptr;
    WaitFor([&] {
        for (HWND window : TopLevelWindows(processId, true)) {
            if (ClassOf(window) != "#32770" || TextOf(window) != caption) continue;
            if ((name = GetDlgItem(window, cmb13)) != nullptr || (name = GetDlgItem(window, edt1)) != nullptr) {
                dialog = window;
                return true;
            }
        }
        return false;
    });
    if (dialog == nullptr) return false;
    if (proposed) *proposed = TextOf(name);
    // WM_SETTEXT's text is carried across processes, wide as it is.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 3000, &ignored);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return WaitGone(dialog);
}
