// Files someone signed or keeps (a report, a dossier, a configuration) are replaced only when asked.
#pragma once
#include <string>

// Whether a file can be opened for reading at path.
bool FileExists(const std::string& path);

// True when path may be written: no file there, or force. Otherwise refusal is said and false.
bool MayReplaceFile(const std::string& path, bool force, const std::string& refusal);
