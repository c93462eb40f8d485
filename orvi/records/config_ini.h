// The configuration file of save and load: a commented INI file a person can read and edit.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "file_extras.h"
#include "requested_values.h"

// The file's text for a configuration read from the transmitter described by source. A tag names the
// measuring point; trims, when given, make it a calibration backup of this one transmitter (its serial
// number and the four output trims). Texts here are UTF-8.
std::string FormatConfigIni(const ConfigSnapshot& snapshot, const std::string& source, const std::string& tag = "",
                            const CalibrationValues* trims = nullptr);

// The text of a configuration file of values, with what extras holds beyond them: its origin, the
// firmware and register map it was made for (each left out when unknown), the tag, the trims (when it
// has any) and the lines people added, each where it stood. Writing a file again from what
// ParseConfigIni gave keeps all of that; only the values and the program's own comments on them change.
std::string FormatConfigFile(const ConfigSnapshot& values, const FileExtras& extras);

// A problem of a file's text and the line it is on (0: the file as a whole).
struct FileProblem {
    int line;
    std::string text;  // UTF-8, without the line
};

// ParseConfigIni with each problem's line apart from its text, for messages that name "file:line".
bool ParseConfigIniLines(const std::string& text, std::vector<RequestedValue>* requests,
                         std::vector<FileProblem>* problems, FileExtras* extras = nullptr);

// The requests in a file's text (UTF-8, as save writes it). Blank lines and lines starting with
// '#' or ';' are skipped; one section [Orvi]; then "key = value" lines. False with every problem,
// each naming its line, in problems. The tag, serial number and trims go to extras (when given).
bool ParseConfigIni(const std::string& text, std::vector<RequestedValue>* requests, std::vector<std::string>* problems,
                    FileExtras* extras = nullptr);

// "key=value" arguments of set; same rules and messages.
bool ParseAssignments(const std::vector<std::string>& arguments, std::vector<RequestedValue>* requests,
                      std::vector<std::string>* problems);

// "endereço 1, 9600 bit/s, COM1": a line as files and messages name it.
std::string DescribeLine(int address, int32_t baud, const std::string& port);

// The file's first comment: where and when the configuration was read ("endereço 1, 9600 bit/s, COM1;
// número de série 00012345, firmware 1.11; lida em 2026-12-08 14:05").
std::string ConfigSourceText(const std::string& lineDescription, const ConfigSnapshot& snapshot, const std::tm& readAt);

// The measuring point a file's bytes name, as FileExtras holds it (empty when none, or when
// they are no configuration file): saving a transmitter again over its file keeps the point named.
std::string TagOfConfigFile(const std::string& bytes);
