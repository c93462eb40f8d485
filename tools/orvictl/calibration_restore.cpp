// Restoring the output trims of a calibration backup onto the transmitter it came from.
#include "calibration_restore.h"

#include "exit_codes.h"
#include "live_diagnostic_texts.h"
#include "text_output.h"

int PlanTrimRestore(const FileExtras& file, uint32_t serialNumber, const CalibrationValues& current,
                    std::vector<TrimWrite>* plan, std::string* message) {
    std::string missing;
    for (int i = 0; i < kCalibrationValueCount; ++i)
        if (!file.hasTrim[i]) missing += (missing.empty() ? "" : ", ") + std::string(kCalibrationKeys[i]);
    if (!file.hasSerial) missing += (missing.empty() ? "" : ", ") + std::string(kSerialKey);
    if (!missing.empty()) {
        *message = "--with-calibration: o arquivo não traz a calibração completa (falta " + missing +
                   "); grave-o com orvictl save --with-calibration";
        return kExitUsage;
    }
    // Trims belong to one transmitter's output stage: on another they would offset its current.
    if (file.serialNumber != serialNumber) {
        *message = Format(
            "--with-calibration: o arquivo é do transmissor de número de série %s, este é o %s; "
            "a calibração só volta ao mesmo transmissor",
            SerialNumberText(file.serialNumber).c_str(), SerialNumberText(serialNumber).c_str());
        return kExitCheck;
    }
    plan->clear();
    for (int i = 0; i < kCalibrationValueCount; ++i) {
        const int16_t old = current.*kCalibrationSlots[i].field;
        const int16_t value = file.trim[i];
        if (value == old) continue;
        const SpinRange range = (i % 2 == 0) ? kZeroSpinRange : kSpanSpinRange;
        if (value < range.low || value > range.high) {
            *message = Format("%s = %d: fora da faixa da página Calibração (%d a %d)", kCalibrationKeys[i], value,
                              range.low, range.high);
            return kExitUsage;
        }
        plan->push_back({i, old, value});
    }
    return kExitOk;
}
