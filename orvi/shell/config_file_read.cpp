// Reading a chosen configuration file whole, decoding and parsing it, and saying why one is refused.
#include "shell/config_file_read.h"

#include "config_ini.h"
#include "file_text.h"
#include "shell/file_dialogs.h"
#include "ui_text.h"

void RefuseConfigFile(HWND owner, const char* caption, const std::string& why, const char* consequence) {
    // why may hold the file's name, people's text: UTF-16 from UTF-8, never through 1252.
    const std::wstring message = WideFromUtf8(why) + WideFrom1252("\n\n") + WideFrom1252(consequence);
    MessageBoxW(owner, message.c_str(), WideFrom1252(caption).c_str(), MB_OK | MB_ICONWARNING);
}

bool ReadConfigFile(HWND owner, const char* caption, const char* consequence, const std::wstring& path,
                    ConfigFileRead* read) {
    const std::string name = Utf8FromWide(path);
    std::string bytes, problem;
    DWORD error = 0;
    if (!ReadWholeWideFile(path, &bytes, &error)) {
        ShowFileMessage(owner, caption, "Não foi possível ler o arquivo\n", path + L"\n(" + SystemReason(error) + L")",
                        ("\n\n" + std::string(consequence)).c_str());
        return false;
    }
    if (!DecodeFileText(bytes, &read->text, &problem)) {
        RefuseConfigFile(owner, caption, name + ": " + problem, consequence);
        return false;
    }
    std::vector<std::string> problems;
    if (!ParseConfigIni(read->text, &read->requests, &problems, &read->extras)) {
        std::string all = name + ":";
        for (const std::string& each : problems) all += "\n" + each;
        RefuseConfigFile(owner, caption, all, consequence);
        return false;
    }
    return true;
}

bool ChooseConfigFile(HWND owner, const char* caption, const char* consequence, std::wstring* path,
                      ConfigFileRead* read) {
    *path = AskFileToOpen(owner, caption, kConfigFileFilter);
    return !path->empty() && ReadConfigFile(owner, caption, consequence, *path, read);
}
