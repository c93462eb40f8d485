// Opens Orvi.exe and Configurador.exe of the dist folder, which the build places at a fixed place
// relative to the test programs (ORVI_DIST_FROM_TESTS, from CMake).
#include "resource_program.h"

namespace {

std::string DistFolder() {
    char self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string folder(self, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    std::string relative = ORVI_DIST_FROM_TESTS;
    for (char& c : relative)
        if (c == '/') c = '\\';
    char full[MAX_PATH] = {};
    GetFullPathNameA((folder + relative).c_str(), MAX_PATH, full, NULL);
    return full;
}

}  // namespace

ShippedProgram::ShippedProgram(const char* fileName)
    : path_(DistFolder() + "\\" + fileName), module_(LoadLibraryExA(path_.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}

ShippedProgram::~ShippedProgram() {
    if (module_) FreeLibrary(module_);
}

std::vector<uint8_t> ShippedProgram::Resource(LPCSTR type, LPCSTR name) const {
    if (!module_) return {};
    HRSRC found = FindResourceA(module_, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module_, found));
}

bool ShippedProgram::Has(LPCSTR type, LPCSTR name) const {
    return module_ && FindResourceA(module_, name, type) != NULL;
}
