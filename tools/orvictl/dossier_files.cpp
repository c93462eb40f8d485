// Naming a dossier's pages after the tags of its index.
#include "dossier_files.h"

#include <set>

const char kDossierIndexPage[] = "index.html";

namespace {
std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Names Windows keeps for its devices, whatever follows the dot.
bool IsDeviceName(const std::string& stem) {
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    const std::string lower = Lower(stem.substr(0, stem.find('.')));
    for (const char* device : kDevices)
        if (lower == device) return true;
    return lower.size() == 4 && (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) &&
           lower[3] >= '0' && lower[3] <= '9';
}

std::string Stem(const std::string& tag) {
    std::string stem;
    for (size_t i = 0; i < tag.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(tag[i]);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.';
        if (plain) {
            stem += static_cast<char>(c);
        } else {
            // One '_' for a whole UTF-8 character: its continuation bytes are passed over.
            stem += '_';
            while (c >= 0xC0 && i + 1 < tag.size() && (static_cast<unsigned char>(tag[i + 1]) & 0xC0) == 0x80) ++i;
        }
    }
    // No hidden file on Linux, and no name that Windows would cut at its trailing dots.
    if (stem.empty() || stem[0] == '.') stem.insert(0, "_");
    while (stem.back() == '.') stem.back() = '_';
    return stem;
}
}  // namespace

std::vector<std::string> DossierPageNames(const std::vector<std::string>& tags) {
    std::vector<std::string> names;
    std::set<std::string> taken = {Lower(kDossierIndexPage)};
    for (size_t i = 0; i < tags.size(); ++i) {
        std::string stem = Stem(tags[i]);
        if (IsDeviceName(stem) || taken.count(Lower(stem + ".html"))) stem += "-" + std::to_string(i + 1);
        // A tag that ends like another's numbered name may meet it: count on until the name is free.
        for (int extra = 2; taken.count(Lower(stem + ".html")); ++extra)
            stem = Stem(tags[i]) + "-" + std::to_string(i + 1) + "-" + std::to_string(extra);
        taken.insert(Lower(stem + ".html"));
        names.push_back(stem + ".html");
    }
    return names;
}
