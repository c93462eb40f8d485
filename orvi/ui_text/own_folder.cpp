// The folder of the running program's own file.
#include "own_folder.h"

#include <windows.h>

#include <vector>

std::wstring ProgramFolder() {
    // Long paths: MAX_PATH is no limit of the file system, only of old calls.
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::wstring();
    std::wstring folder(path.data(), length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}
