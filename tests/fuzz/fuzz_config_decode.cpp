// Fuzz target: any 68-word configuration block decoded, then every catalogue lookup and page
// decision that takes the device's values, which must stay inside their tables.
//
// Input: 136 bytes of block (high byte first, missing bytes are 0), then optional bytes for the
// user's side of the decisions: another input type, a chosen unit, list positions, shown status
// bits and an offset text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "alarm_functions.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "input_type_rescale.h"
#include "input_types.h"
#include "io_consistency_checks.h"
#include "io_spin_ranges.h"
#include "io_write_sequence.h"
#include "live_calibration.h"
#include "live_diagnostic_texts.h"
#include "live_offset_tick.h"
#include "live_status_list.h"
#include "output_types.h"
#include "temperature_units.h"
#include "unit_switch.h"

namespace {
enum { kBlockBytes = 2 * 68 };

// The byte at index, or 0 past the end, so short inputs still make a whole block.
uint8_t At(const uint8_t* data, size_t size, size_t index) { return index < size ? data[index] : 0; }

void RequireTerminatedWithin(const char* text, size_t slot) {
    if (text && std::memchr(text, '\0', slot) == nullptr) std::abort();
}

void LookUpCatalogues(const ConfigSnapshot& s) {
    RequireTerminatedWithin(InputTypeName(s.inputType, s.unit), kInputTypeNameSlot);
    RequireTerminatedWithin(AlarmFunctionName(s.alarmFunction), kAlarmFunctionNameSlot);
    const char* output = OutputTypeName(s.outputType);
    if (output) (void)std::strlen(output);
    const LimitPair limits = SensorLimits(s.inputType, s.unit);
    if (limits.low > limits.high) std::abort();
    (void)IsLinearInput(s.inputType);
    (void)IsTenthsInput(s.inputType);
    const IoSpinRanges spins = IoSpinRangesFor(s.inputType, s.unit);
    if (spins.low > spins.high || spins.hysteresisHigh < 0) std::abort();
    const CalibrationPair pair = CalibrationPairFor(s.outputType);
    if ((pair.zero == nullptr) != (pair.span == nullptr)) std::abort();
}

void DecideIoPage(const ConfigSnapshot& s, int otherType, int32_t chosenUnit) {
    char message[kIoMessageSize];
    std::memset(message, 'x', sizeof message);
    const int fault = FindConsistencyFault(s, message, sizeof message);
    if (fault < 0 || fault > 5) std::abort();
    if (fault) RequireTerminatedWithin(message, sizeof message);
    IoWriteStep steps[kMaxIoWriteSteps];
    const int count = BuildIoWriteSequence(s, steps);
    if (count < 6 || count > kMaxIoWriteSteps) std::abort();
    (void)RescaleToInputType(s.lowerLimit, s.inputType, otherType, s.unit);
    (void)RescaleToInputType(s.alarmSetPoint, otherType, s.inputType, s.unit);
    (void)DecideUnitSwitch(s.unit, chosenUnit);
    (void)ConvertToUnit(s.upperLimit, chosenUnit, s.inputType, UnitQuantity::Temperature);
    (void)ConvertToUnit(s.alarmHysteresis, chosenUnit, s.inputType, UnitQuantity::Difference);
    (void)CelsiusToFahrenheit(s.alarmHysteresis);
    (void)FahrenheitToCelsius(s.alarmHysteresis);
    (void)AlarmFunctionFromPosition(otherType);
    (void)OutputTypeFromPosition(otherType, s.outputType);
}

void DecideLivePages(const ConfigSnapshot& s, int16_t processValue, uint16_t statusBits, uint16_t shownBits,
                     const std::string& offsetText) {
    (void)ProcessValueText(processValue, s.inputType);
    (void)UnitLabelText(s.inputType, s.unit);
    (void)AlarmMnemonicText(s.alarmOutputOn, s.alarmFunction);
    (void)SerialNumberText(s.serialNumber);
    (void)FirmwareText(s.firmwareVersion);
    const StatusListView list = BuildStatusList(statusBits, shownBits);
    if (list.selected < -1 || list.selected >= static_cast<int>(list.entries.size())) std::abort();
    if (list.entries.empty() != (list.selected == -1)) std::abort();
    (void)DecideOffsetTick(false, offsetText.c_str(), "0", s.indicationOffset);
    (void)TakeSpinPosition(s.indicationOffset, statusBits | (static_cast<uint32_t>(shownBits) << 16), kZeroSpinRange);
    (void)BaudCode(static_cast<int32_t>(s.unit));
    (void)IsNetworkRate(static_cast<int32_t>(s.alarmInitialBlock));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint16_t block[68];
    for (size_t i = 0; i < 68; ++i)
        block[i] = static_cast<uint16_t>((At(data, size, 2 * i) << 8) | At(data, size, 2 * i + 1));
    ConfigSnapshot snapshot = {}, lastKnown = {}, readConfig = {};
    DecodeConfigBlock(block, snapshot, lastKnown, readConfig);
    if (std::memcmp(&snapshot.inputType, &lastKnown.inputType, sizeof lastKnown.inputType) != 0) std::abort();
    if (snapshot.indicationOffset != lastKnown.indicationOffset) std::abort();

    const int otherType = static_cast<int8_t>(At(data, size, kBlockBytes));
    const int32_t chosenUnit = static_cast<int8_t>(At(data, size, kBlockBytes + 1));
    const uint16_t shownBits =
        static_cast<uint16_t>((At(data, size, kBlockBytes + 2) << 8) | At(data, size, kBlockBytes + 3));
    const std::string offsetText =
        size > kBlockBytes + 4
            ? std::string(reinterpret_cast<const char*>(data + kBlockBytes + 4), size - kBlockBytes - 4)
            : std::string();

    LookUpCatalogues(snapshot);
    DecideIoPage(snapshot, otherType, chosenUnit);
    DecideLivePages(snapshot, static_cast<int16_t>(block[1]), block[6], shownBits, offsetText);
    return 0;
}
