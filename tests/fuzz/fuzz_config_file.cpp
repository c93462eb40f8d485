// Fuzz target: any file given to load, diff or commission --config, through the reader of the
// configuration file. What it accepts must go back out through save's writer and read in again as
// the same values and the same tag (a file save wrote always loads).
//
// Input: the file's bytes.
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
    return 0;
}
