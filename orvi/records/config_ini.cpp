// Writing and reading orvictl's configuration files and key=value arguments.
#include "config_ini.h"

#include "file_text.h"

#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "text_convert.h"

namespace {
const char kSection[] = "Orvi";

std::string Trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// One "key = value" (the origin names where it came from); false with a message.
bool TakeAssignment(const std::string& line, const std::string& origin, std::vector<RequestedValue>* requests,
                    std::string* problem) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        *problem = Format("%s: esperado chave = valor, encontrado \"%s\"", origin.c_str(), line.c_str());
        return false;
    }
    const std::string name = Trim(line.substr(0, equals));
    const std::string text = Trim(line.substr(equals + 1));
    const ParameterKey* key = FindParameterKey(name);
    if (!key) {
        *problem = Format("%s: chave desconhecida \"%s\" (veja orvictl set --help)", origin.c_str(), name.c_str());
        return false;
    }
    for (const RequestedValue& earlier : *requests) {
        if (earlier.key == key) {
            *problem = Format("%s: %s já foi dado em %s", origin.c_str(), name.c_str(), earlier.origin.c_str());
            return false;
        }
    }
    int32_t value = 0;
    std::string reason;
    if (!ParseParameterValue(text, &value, &reason)) {
        *problem = Format("%s: %s = \"%s\": %s", origin.c_str(), name.c_str(), text.c_str(), reason.c_str());
        return false;
    }
    // Judged once the transmitter's own value is known: what it holds already is never refused.
    const std::string refusal = IsOfferedValue(*key, value)
                                    ? std::string()
                                    : Format("%s: %s = \"%s\": valor não aceito; valores aceitos: %s", origin.c_str(),
                                             name.c_str(), text.c_str(), AcceptedValuesText(*key).c_str());
    requests->push_back({key, value, origin, refusal});
    return true;
}

// A tag is a line of text: a NUL would cut it short wherever it is written again (C strings, Win32).
bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 && c != '\t') return true;
    return false;
}

// The keys that are no register of the page: the tag, and the serial number and trims of a backup.
// True when name is one of them (a problem then means it was one, badly given).
// The tag is people's text: it is taken as written, every character kept.
bool TakeExtra(const std::string& name, const std::string& text, const std::string& origin, FileExtras* extras,
               std::string* problem) {
    if (name == kTagKey) {
        if (!extras->tag.empty())
            *problem = Format("%s: %s já foi dado", origin.c_str(), kTagKey);
        else if (text.empty())
            *problem = Format("%s: %s vazio", origin.c_str(), kTagKey);
        else if (HasControlCharacter(text))
            *problem = Format("%s: %s com caractere de controle", origin.c_str(), kTagKey);
        else
            extras->tag = text;
        return true;
    }
    if (name == kSerialKey) {
        long value = 0;
        if (extras->hasSerial)
            *problem = Format("%s: %s já foi dado", origin.c_str(), kSerialKey);
        else if (!ParseWholeNumber(text, 0, 999999999L, &value))
            *problem = Format("%s: %s = \"%s\": não é um número de série", origin.c_str(), kSerialKey, text.c_str());
        else
            extras->hasSerial = true, extras->serialNumber = static_cast<uint32_t>(value);
        return true;
    }
    for (int i = 0; i < kCalibrationValueCount; ++i) {
        if (name != kCalibrationKeys[i]) continue;
        int32_t value = 0;
        std::string reason;
        if (extras->hasTrim[i])
            *problem = Format("%s: %s já foi dado", origin.c_str(), name.c_str());
        else if (!ParseParameterValue(text, &value, &reason))
            *problem = Format("%s: %s = \"%s\": %s", origin.c_str(), name.c_str(), text.c_str(), reason.c_str());
        else
            extras->hasTrim[i] = true, extras->trim[i] = static_cast<int16_t>(value);
        return true;
    }
    return false;
}

std::string CommentLine(const ParameterKey& key, const ConfigSnapshot& s) {
    return Format("# %s: %s\n", key.label, DescribeParameter(key, s).c_str());
}

// The file's text, with tagLine (the tag's key and the tag, or the key commented out).
std::string FormatConfigIniText(const ConfigSnapshot& s, const std::string& source, const std::string& tagLine,
                                const CalibrationValues* trims) {
    std::string text =
        "# Configuração de um transmissor Orvi, gravada pelo orvictl.\n"
        "# Origem: " +
        source +
        "\n"
        "#\n"
        "# Para gravá-la num transmissor: orvictl load ARQUIVO (--dry-run mostra antes o que mudaria).\n"
        "# Valem os números depois de '='; os nomes nos comentários são só para leitura.\n"
        "# Temperaturas em graus da unidade escolhida; as entradas 6 e 14 (Pt100 de alta resolução)\n"
        "# usam décimos de grau (-1999 = -199.9). Entradas lineares (16 a 18): números da escala.\n"
        "# Set point, histerese e bloqueio só são escritos com uma função de alarme (diferente de 0).\n"
        "# Endereço e taxa não fazem parte: veja orvictl address e orvictl baud.\n";
    text += Format("\n[%s]\n", kSection);
    text += "\n# Nome do ponto de medição (fica só no arquivo; o transmissor não o guarda).\n" + tagLine + "\n";
    for (const ParameterKey& key : kParameterKeys) {
        text += "\n" + CommentLine(key, s);
        if (key.kind == KeyKind::InputType || key.kind == KeyKind::Unit || key.kind == KeyKind::OutputType ||
            key.kind == KeyKind::AlarmFunction || key.kind == KeyKind::Flag)
            text += Format("# valores aceitos: %s\n", AcceptedValuesText(key).c_str());
        text += Format("%s = %d\n", key.name, static_cast<int>(key.get(s)));
    }
    if (!trims) return text;
    text += Format(
        "\n# Calibração da saída deste transmissor (número de série %s): só volta a ele, com\n"
        "# orvictl load --with-calibration ARQUIVO; sem essa opção, load não a escreve.\n"
        "%s = %lu\n",
        SerialNumberText(s.serialNumber).c_str(), kSerialKey, static_cast<unsigned long>(s.serialNumber));
    for (int i = 0; i < kCalibrationValueCount; ++i)
        text += Format("%s = %d\n", kCalibrationKeys[i], static_cast<int>(trims->*kCalibrationSlots[i].field));
    return text;
}
}  // namespace

std::string FormatConfigIni(const ConfigSnapshot& s, const std::string& source, const std::string& tag,
                            const CalibrationValues* trims) {
    const std::string tagLine = (tag.empty() ? "# " : "") + std::string(kTagKey) + " = " + tag;
    return FormatConfigIniText(s, source, tagLine, trims);
}

bool ParseConfigIni(const std::string& utf8, std::vector<RequestedValue>* requests, std::vector<std::string>* problems,
                    FileExtras* extras) {
    FileExtras ignored;
    if (!extras) extras = &ignored;
    bool inSection = false;
    bool sawSection = false;
    size_t start = 0;
    for (int number = 1; start < utf8.size(); ++number) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        const std::string line = Trim(utf8.substr(start, end - start));
        start = end + 1;
        const std::string origin = Format("linha %d", number);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                problems->push_back(Format("%s: seção mal formada \"%s\"", origin.c_str(), line.c_str()));
                continue;
            }
            const std::string name = Trim(line.substr(1, line.size() - 2));
            inSection = name == kSection;
            if (!inSection)
                problems->push_back(
                    Format("%s: seção desconhecida [%s] (esperada [%s])", origin.c_str(), name.c_str(), kSection));
            sawSection = sawSection || inSection;
            continue;
        }
        if (!inSection) {
            if (!sawSection) problems->push_back(Format("%s: valor fora da seção [%s]", origin.c_str(), kSection));
            continue;
        }
        std::string problem;
        const size_t equals = line.find('=');
        if (equals != std::string::npos &&
            TakeExtra(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), origin, extras, &problem)) {
            if (!problem.empty()) problems->push_back(problem);
            continue;
        }
        if (!TakeAssignment(line, origin, requests, &problem)) problems->push_back(problem);
    }
    if (!sawSection && problems->empty()) problems->push_back(Format("falta a seção [%s]", kSection));
    return problems->empty();
}

bool ParseAssignments(const std::vector<std::string>& arguments, std::vector<RequestedValue>* requests,
                      std::vector<std::string>* problems) {
    int number = 0;
    for (const std::string& argument : arguments) {
        std::string problem;
        if (!TakeAssignment(argument, Format("argumento %d", ++number), requests, &problem))
            problems->push_back(problem);
    }
    if (arguments.empty()) problems->push_back("nada a mudar: dê pelo menos um CHAVE=VALOR");
    return problems->empty();
}

std::string DescribeLine(int address, int32_t baud, const std::string& port) {
    return Format("endereço %d, %d bit/s, %s", address, static_cast<int>(baud), port.c_str());
}

std::string ConfigSourceText(const std::string& lineDescription, const ConfigSnapshot& snapshot,
                             const std::tm& readAt) {
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &readAt);
    return Format("%s; número de série %s, firmware %s; lida em %s", lineDescription.c_str(),
                  SerialNumberText(snapshot.serialNumber).c_str(), FirmwareText(snapshot.firmwareVersion).c_str(),
                  when);
}

std::string TagOfConfigFile(const std::string& bytes) {
    std::string text, problem;
    if (!DecodeFileText(bytes, &text, &problem)) return "";
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    FileExtras extras;
    ParseConfigIni(text, &requests, &problems, &extras);
    return extras.tag;
}
