// Filling the commissioning report from a transmitter's configuration and its journal.
#include "transmitter_report.h"

#include <ctime>

#include "alarm_functions.h"
#include "input_types.h"
#include "live_calibration.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "records_platform.h"
#include "text_convert.h"
#include "utc_offset.h"
#include "transactions.h"

namespace {
std::vector<ReportSetting> Settings(const ConfigSnapshot& config, const std::vector<JournalEntry>& journal) {
    const std::map<std::string, int32_t> found = ValuesBeforeFirstWrite(journal);
    std::vector<ReportSetting> settings;
    for (const ParameterKey& key : kParameterKeys) {
        ConfigSnapshot before = config;
        const auto value = found.find(key.name);
        if (value != found.end()) key.put(before, value->second);
        settings.push_back({key.label, DescribeParameter(key, before), DescribeParameter(key, config)});
    }
    return settings;
}

// The catalogue's name without its padding; "desconhecida" for a code outside it.
std::string AlarmNameText(int function) {
    const char* name = AlarmFunctionName(function);
    if (!name) return "desconhecida";
    std::string text = FixedText(name);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}
}  // namespace

const char* TrimRangeText(int outputType) { return outputType == 14 ? " (4 a 20 mA)" : " (0 a 20 mA)"; }

std::string ReportIssuedText() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    char text[40];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local);
    const long offset = UtcOffsetSeconds(local, now);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    return Format("%s (UTC%c%02ld%02ld)", text, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

std::vector<std::pair<std::string, std::string>> ReadReportTrims(int outputType) {
    return ReadReportTrims(ConfiguratorLine(), outputType);
}

std::vector<std::pair<std::string, std::string>> ReadReportTrims(Line& line, int outputType) {
    std::vector<std::pair<std::string, std::string>> trims;
    const CalibrationPair pair = CalibrationPairFor(outputType);
    if (!pair.zero || !pair.span) return trims;
    const char* range = TrimRangeText(outputType);
    const CalibrationValueSlot* slots[] = {pair.zero, pair.span};
    const char* names[] = {"ZERO", "SPAN"};
    for (int i = 0; i < 2; ++i) {
        uint16_t word = 0;
        if (ReadPrivate(line, slots[i]->address, &word) != kLinkOk) return {};
        trims.push_back({std::string(names[i]) + range, std::to_string(static_cast<int16_t>(word))});
    }
    return trims;
}

void FillTransmitterReport(const ConfigSnapshot& config, const std::vector<JournalEntry>& journal,
                           const LoopReadings& readings, double tolerancePercent, CommissioningReport* report) {
    report->serial = SerialNumberText(config.serialNumber);
    report->firmware = FirmwareText(config.firmwareVersion);
    report->inputType = InputTypeText(config.inputType, config.unit);
    report->journalWrites = static_cast<int>(journal.size());
    report->unconfirmedWrites = UnconfirmedWrites(journal);
    for (const JournalEntry& entry : journal)
        if (!entry.tag.empty()) report->tag = entry.tag;
    report->settings = Settings(config, journal);

    const double scale = IsTenthsInput(config.inputType) ? 10.0 : 1.0;
    report->valueDecimals = scale > 1 ? 1 : 0;
    report->rangeLow = config.lowerLimit / scale;
    report->rangeHigh = config.upperLimit / scale;
    report->unit = FixedText(UnitLabelText(config.inputType, config.unit));
    report->outputType = config.outputType;
    report->tolerancePercent = tolerancePercent;
    report->loop = LoopCheck(config.outputType, readings.asLeft, tolerancePercent);
    report->loopAsFound = LoopCheck(config.outputType, readings.asFound, tolerancePercent);
    report->alarm = CheckAlarmTrips(config, report->hasTrend ? &report->trend : nullptr, tolerancePercent);
    report->alarmName = AlarmNameText(config.alarmFunction);
    report->trend.rangeLow = report->rangeLow;
    report->trend.rangeHigh = report->rangeHigh;
    if (report->trend.unit.empty()) report->trend.unit = report->unit;
    report->issued = ReportIssuedText();
    report->user = CurrentUserName();
    report->machine = MachineName();
}
