// Fuzz target: any file given to load, diff or commission --config, through the reader of the
// configuration file. What it accepts must go back out through save's writer and read in again as
// the same values and the same tag (a file save wrote always loads), and written again whole keeps what
// it held beyond its values.
//
// Input: the file's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config_ini.h"
#include "config_snapshot.h"
#include "file_text.h"
#include "text_convert.h"

namespace {
// A transmitter as it leaves the factory: the requests are applied to it.
ConfigSnapshot FactorySnapshot() {
    uint16_t words[68] = {};  // the configuration block
    words[8] = 1;
    words[27] = 600;
    words[61] = 14;
    words[35] = 5;
    words[31] = 300;
    words[39] = 2;
    return DecodeConfiguration(words);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string tag = TagOfConfigFile(bytes);
    std::string text, problem;
    if (!DecodeFileText(bytes, &text, &problem)) {
        if (problem.empty() || !tag.empty()) std::abort();
        return 0;
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    FileExtras extras;
    const bool parsed = ParseConfigIni(text, &requests, &problems, &extras);
    if (parsed != problems.empty() || tag != extras.tag) std::abort();
    if (!parsed) return 0;
    for (const RequestedValue& request : requests)
        if (request.key == nullptr || request.origin.empty()) std::abort();

    // Out through the writer (with the file's trims, as save --with-calibration writes them) and back in.
    ConfigSnapshot target = ApplyRequests(FactorySnapshot(), requests);
    CalibrationValues trims = {};
    bool allTrims = true;
    for (int i = 0; i < kCalibrationValueCount; ++i) {
        allTrims = allTrims && extras.hasTrim[i];
        trims.*kCalibrationSlots[i].field = extras.trim[i];
    }
    if (extras.hasSerial) target.serialNumber = extras.serialNumber;
    const std::string saved = FormatConfigIni(target, "origem", extras.tag, allTrims ? &trims : nullptr);
    std::vector<RequestedValue> again;
    FileExtras extrasAgain;
    problems.clear();
    if (!ParseConfigIni(saved, &again, &problems, &extrasAgain)) std::abort();
    if (extrasAgain.tag != extras.tag || TagOfConfigFile(saved) != extras.tag) std::abort();
    for (const RequestedValue& request : again)
        if (request.value != request.key->get(target)) std::abort();
    if (allTrims) {
        if (!extrasAgain.hasSerial || extrasAgain.serialNumber != target.serialNumber) std::abort();
        for (int i = 0; i < kCalibrationValueCount; ++i)
            if (!extrasAgain.hasTrim[i] || extrasAgain.trim[i] != extras.trim[i]) std::abort();
    }
    // Written again as set --file and the sheet on a file write it: what it held beyond its values
    // (firmware, map, origin, people's lines) comes back, no line lost or doubled.
    const std::string rewritten = FormatConfigFile(target, extras);
    FileExtras kept;
    again.clear();
    problems.clear();
    if (!ParseConfigIni(rewritten, &again, &problems, &kept)) std::abort();
    if (kept.firmwareVersion != extras.firmwareVersion || kept.mapVersion != extras.mapVersion ||
        kept.tag != extras.tag || (kept.source != extras.source && !extras.source.empty()))
        std::abort();
    std::vector<std::string> before, after;
    for (const ForeignLine& line : extras.otherLines) before.push_back(line.text);
    for (const ForeignLine& line : kept.otherLines) after.push_back(line.text);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    if (before != after) std::abort();
    return 0;
}
