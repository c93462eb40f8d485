// Formatting a transmitter's configuration as aligned text or JSON.
#include "show_format.h"

#include "json_layout.h"
#include "live_diagnostic_texts.h"
#include "live_status_list.h"
#include "parameter_keys.h"
#include "text_output.h"

namespace {
// A row without a label continues the one above it: blank, not a stray colon.
std::string Row(const std::string& label, const std::string& value) {
    return PadRight(label.empty() ? "" : label + ":", 32) + " " + value + "\n";
}

std::vector<std::string> StatusTexts(uint16_t bits) {
    std::vector<std::string> texts;
    for (int bit = 0; bit < kStatusBitCount; ++bit)
        if (bits & (1u << bit)) texts.push_back(FixedText(StatusBitText(bit)));
    return texts;
}
}  // namespace

std::string FormatReportText(const TransmitterReport& r) {
    const ConfigSnapshot& s = r.config;
    const std::string line =
        r.baud ? Format("endereço %d, %d bit/s, %s", r.address, static_cast<int>(r.baud), r.port.c_str())
               : Format("endereço %d, %s (a taxa da linha é a do gateway)", r.address, r.port.c_str());
    std::string text = Row("Transmissor", line);
    text += Row("Número de série", SerialNumberText(s.serialNumber));
    text += Row("Firmware", FirmwareText(s.firmwareVersion));
    for (const ParameterKey& key : kParameterKeys)
        text += Row(key.label,
                    Format("%s [%s = %d]", DescribeParameter(key, s).c_str(), key.name, static_cast<int>(key.get(s))));
    text += Row("Saída de alarme",
                s.alarmOutputOn ? "ligada (" + FixedText(AlarmMnemonicText(1, s.alarmFunction)) + ")" : "desligada");
    if (r.calibrationRead) {
        text +=
            Row("Calibração 4 a 20mA", Format("ZERO %d, SPAN %d", r.calibration.offset4to20, r.calibration.gain4to20));
        text +=
            Row("Calibração 0 a 20mA", Format("ZERO %d, SPAN %d", r.calibration.offset0to20, r.calibration.gain0to20));
    } else {
        text += Row("Calibração", "não lida");
    }
    if (!r.statusRead) {
        text += Row("Estado", "não lido");
    } else {
        const std::vector<std::string> texts = StatusTexts(r.statusBits);
        text += Row("Estado", Format("0x%04X%s", r.statusBits, texts.empty() ? " (nenhum erro)" : ""));
        for (const std::string& line : texts) text += Row("", line);
    }
    return text;
}

std::string FormatReportJson(const TransmitterReport& r) {
    const ConfigSnapshot& s = r.config;
    nlohmann::ordered_json json = {{"porta", r.port},
                                   {"endereco", r.address},
                                   {"baud", r.baud ? nlohmann::ordered_json(r.baud) : nullptr},
                                   {"numero_serie", SerialNumberText(s.serialNumber)},
                                   {"firmware", FirmwareText(s.firmwareVersion)}};
    for (const ParameterKey& key : kParameterKeys)
        json[key.name] = {{"valor", key.get(s)}, {"texto", DescribeParameter(key, s)}};
    json["alarme_ligado"] = s.alarmOutputOn != 0;
    json["calibracao"] = nullptr;
    if (r.calibrationRead)
        json["calibracao"] = {{"4_20mA", {{"zero", r.calibration.offset4to20}, {"span", r.calibration.gain4to20}}},
                              {"0_20mA", {{"zero", r.calibration.offset0to20}, {"span", r.calibration.gain0to20}}}};
    json["estado"] = nullptr;
    if (r.statusRead) {
        nlohmann::ordered_json texts = nlohmann::ordered_json::array();
        for (const std::string& text : StatusTexts(r.statusBits)) texts.push_back(text);
        json["estado"] = {{"bits", r.statusBits}, {"textos", texts}};
    }
    return JsonMembersOnLines(json);
}
