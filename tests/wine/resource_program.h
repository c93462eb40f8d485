// A program as shipped in the dist folder, opened as a data file to read its resources unrun.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

class ShippedProgram {
public:
    // fileName as it lies in the dist folder: "Orvi.exe", "Configurador.exe".
    explicit ShippedProgram(const char* fileName);
    ~ShippedProgram();
    ShippedProgram(const ShippedProgram&) = delete;
    ShippedProgram& operator=(const ShippedProgram&) = delete;

    bool Loaded() const { return module_ != NULL; }
    const std::string& Path() const { return path_; }
    // The resource's bytes; empty when the program has no such resource.
    std::vector<uint8_t> Resource(LPCSTR type, LPCSTR name) const;
    bool Has(LPCSTR type, LPCSTR name) const;

private:
    std::string path_;
    HMODULE module_;
};
