#include "file_replace.h"

#include <cstdio>

#include "platform.h"
#include "text_output.h"

bool FileExists(const std::string& path) {
    FILE* existing = OpenFile(path, "rb");
    if (!existing) return false;
    std::fclose(existing);
    return true;
}

bool MayReplaceFile(const std::string& path, bool force, const std::string& refusal) {
    if (force || !FileExists(path)) return true;
    Complain(refusal);
    return false;
}
