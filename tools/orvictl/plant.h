// plant's subcommands on the instrument index, and the reading of every tag that check and report share.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "commands.h"
#include "config_plan.h"
#include "config_snapshot.h"
#include "plant_index_file.h"

// plant check INDEX [--json | --csv]; arguments[0] is "check".
int RunPlantCheck(const GlobalOptions& options, const Arguments& arguments);
// How plant check gives its result: a table, JSON or CSV.
enum class PlantOutput { kTable, kJson, kCsv };
// plant check --offline INDEX: the configuration file of every row judged as check judges it, no line
// touched; per tag its file's problems. 0 when every file is sound, 5 otherwise.
int CheckPlantFiles(const std::string& indexPath, PlantOutput output);
// plant commission INDEX --line L [--csv SUMMARY], on session; arguments[0] is "commission".
int RunPlantCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
// plant report INDEX --out DIR [...]; arguments[0] is "report".
int RunPlantReport(const GlobalOptions& options, const Arguments& arguments);

enum class TagState { kOk, kDiffers, kNoReply, kOtherTransmitter };

// What one tag's transmitter turned out to be.
struct TagCheck {
    TagState state = TagState::kNoReply;
    std::string where;   // "endereço 3, 9600 bit/s, /dev/ttyUSB0"
    std::string serial;  // as read; empty when nothing answered
    std::string detail;  // why not found, whose serial number, or the check that refused the file
    ConfigComparison comparison;
    ConfigSnapshot config = {};  // what the transmitter was read to hold, when serial is not empty
    bool asked = false;          // its line opened and its address was asked (else detail says why not)
};

// The verdict as plant check says it: "configuração como projetada", "difere do projeto: 1
// parâmetro(s)", "não encontrado: ...", "outro transmissor no endereço: ...".
std::string TagVerdictText(const TagCheck& check);
// "limite_superior: 450 -> 900", as diff names the parameters.
std::string DifferenceText(const PlannedWrite& step);

// What a plant command does with each row as its line reads it, on that line's thread.
struct TagWork {
    // With the row's line still open on session, once its transmitter was read and judged (it may read
    // more of it); not called for a row whose line did not open. May be empty.
    std::function<void(size_t row, LineSession& session, const TagCheck& check)> more;
    // The row's text, printed whole in the index's order, after what the line wrote while reading it.
    std::function<std::string(size_t row, const TagCheck& check)> text;
};

// Every row's transmitter read and judged against its row: the lines of the index at once, one
// thread and session each, a line's rows one after another. The checks in the index's order;
// *lineCount says how many lines there were.
std::vector<TagCheck> CheckPlantLines(const GlobalOptions& options, const std::vector<PlantRow>& rows,
                                      const TagWork& work, size_t* lineCount);
