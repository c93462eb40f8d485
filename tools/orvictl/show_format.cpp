// Formatting a transmitter's configuration as aligned text or JSON.
#include "show_format.h"

#include "live_diagnostic_texts.h"
#include "live_status_list.h"
#include "parameter_keys.h"
#include "text_output.h"

namespace {
// A row without a label continues the one above it: blank, not a stray colon.
std::string Row(const std::string& label, const std::string& value) {
    return Format("%-32s %s\n", label.empty() ? "" : (label + ":").c_str(), value.c_str());
}

std::vector<std::string> StatusTexts(uint16_t bits) {
    std::vector<std::string> texts;
    for (int bit = 0; bit < kStatusBitCount; ++bit)
        if (bits & (1u << bit)) texts.push_back(StatusBitText(bit));
    return texts;
}
}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20)
            out += Format("\\u%04x", c);
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

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
                s.alarmOutputOn ? "ligada (" + AlarmMnemonicText(1, s.alarmFunction) + ")" : "desligada");
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
    std::string json = "{\n";
    json += Format("  \"porta\": %s,\n  \"endereco\": %d,\n  \"baud\": %s,\n", JsonString(r.port).c_str(), r.address,
                   r.baud ? Format("%d", static_cast<int>(r.baud)).c_str() : "null");
    json +=
        Format("  \"numero_serie\": %s,\n  \"firmware\": %s,\n", JsonString(SerialNumberText(s.serialNumber)).c_str(),
               JsonString(FirmwareText(s.firmwareVersion)).c_str());
    for (const ParameterKey& key : kParameterKeys)
        json += Format("  \"%s\": {\"valor\": %d, \"texto\": %s},\n", key.name, static_cast<int>(key.get(s)),
                       JsonString(DescribeParameter(key, s)).c_str());
    json += Format("  \"alarme_ligado\": %s,\n", s.alarmOutputOn ? "true" : "false");
    if (r.calibrationRead)
        json += Format(
            "  \"calibracao\": {\"4_20mA\": {\"zero\": %d, \"span\": %d}, \"0_20mA\": {\"zero\": %d, \"span\": %d}},\n",
            r.calibration.offset4to20, r.calibration.gain4to20, r.calibration.offset0to20, r.calibration.gain0to20);
    else
        json += "  \"calibracao\": null,\n";
    if (r.statusRead) {
        json += Format("  \"estado\": {\"bits\": %u, \"textos\": [", static_cast<unsigned>(r.statusBits));
        const std::vector<std::string> texts = StatusTexts(r.statusBits);
        for (size_t i = 0; i < texts.size(); ++i) json += (i ? ", " : "") + JsonString(texts[i]);
        json += "]}\n";
    } else {
        json += "  \"estado\": null\n";
    }
    return json + "}\n";
}
