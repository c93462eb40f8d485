// Writing and reading orvictl's configuration files and key=value arguments.
#include "config_ini.h"

#include "file_text.h"

#include "firmware_differences.h"
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

// One "key = value" (the origin names where it came from, line the file's line or 0); false with the
// problem, which does not name the origin.
bool TakeAssignment(const std::string& line, const std::string& origin, int number,
                    std::vector<RequestedValue>* requests, std::string* problem) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        *problem = Format("esperado chave = valor, encontrado \"%s\"", line.c_str());
        return false;
    }
    const std::string name = Trim(line.substr(0, equals));
    const std::string text = Trim(line.substr(equals + 1));
    const ParameterKey* key = FindParameterKey(name);
    if (!key) {
        *problem = Format("chave desconhecida \"%s\" (veja orvictl set --help)", name.c_str());
        return false;
    }
    for (const RequestedValue& earlier : *requests) {
        if (earlier.key == key) {
            *problem = Format("%s já foi dado em %s", name.c_str(), earlier.origin.c_str());
            return false;
        }
    }
    int32_t value = 0;
    std::string reason;
    if (!ParseParameterValue(text, &value, &reason)) {
        *problem = Format("%s = \"%s\": %s", name.c_str(), text.c_str(), reason.c_str());
        return false;
    }
    // Judged once the transmitter's own value is known: what it holds already is never refused.
    const std::string refusal = IsOfferedValue(*key, value)
                                    ? std::string()
                                    : Format("%s = \"%s\": valor não aceito; valores aceitos: %s", name.c_str(),
                                             text.c_str(), AcceptedValuesText(*key).c_str());
    requests->push_back({key, value, origin, refusal, number});
    return true;
}

// A tag is a line of text: a NUL would cut it short wherever it is written again (C strings, Win32).
bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 && c != '\t') return true;
    return false;
}

// "1.11" as register 7 holds it (111): a whole number of the version, a point, two digits.
bool ParseFirmwareText(const std::string& text, int16_t* version) {
    const size_t point = text.find('.');
    long major = 0, minor = 0;
    if (point == std::string::npos || text.size() - point != 3) return false;
    if (!ParseWholeNumber(text.substr(0, point), 1, 327, &major) ||
        !ParseWholeNumber(text.substr(point + 1), 0, 99, &minor))
        return false;
    if (text[point + 1] < '0' || text[point + 1] > '9') return false;  // no sign inside the version
    const long value = major * 100 + minor;
    if (value > 32767) return false;
    *version = static_cast<int16_t>(value);
    return true;
}

// The keys that are no register of the page: the tag, and the serial number and trims of a backup.
// True when name is one of them (a problem then means it was one, badly given).
// The tag is people's text: it is taken as written, every character kept.
bool TakeExtra(const std::string& name, const std::string& text, FileExtras* extras, std::string* problem) {
    if (name == kTagKey) {
        if (!extras->tag.empty())
            *problem = Format("%s já foi dado", kTagKey);
        else if (text.empty())
            *problem = Format("%s vazio", kTagKey);
        else if (HasControlCharacter(text))
            *problem = Format("%s com caractere de controle", kTagKey);
        else
            extras->tag = text;
        return true;
    }
    if (name == kSerialKey) {
        long value = 0;
        if (extras->hasSerial)
            *problem = Format("%s já foi dado", kSerialKey);
        else if (!ParseWholeNumber(text, 0, 999999999L, &value))
            *problem = Format("%s = \"%s\": não é um número de série", kSerialKey, text.c_str());
        else
            extras->hasSerial = true, extras->serialNumber = static_cast<uint32_t>(value);
        return true;
    }
    for (int i = 0; i < kCalibrationValueCount; ++i) {
        if (name != kCalibrationKeys[i]) continue;
        int32_t value = 0;
        std::string reason;
        if (extras->hasTrim[i])
            *problem = Format("%s já foi dado", name.c_str());
        else if (!ParseParameterValue(text, &value, &reason))
            *problem = Format("%s = \"%s\": %s", name.c_str(), text.c_str(), reason.c_str());
        else
            extras->hasTrim[i] = true, extras->trim[i] = static_cast<int16_t>(value);
        return true;
    }
    if (name == kFirmwareKey) {
        int16_t version = 0;
        if (extras->firmwareVersion != 0)
            *problem = Format("%s já foi dado", kFirmwareKey);
        else if (!ParseFirmwareText(text, &version))
            *problem = Format("%s = \"%s\": não é uma versão de firmware (como 1.11)", kFirmwareKey, text.c_str());
        else
            extras->firmwareVersion = version;
        return true;
    }
    if (name == kMapVersionKey) {
        long value = 0;
        if (extras->mapVersion != 0)
            *problem = Format("%s já foi dado", kMapVersionKey);
        else if (!ParseWholeNumber(text, 1, 9999, &value))
            *problem = Format("%s = \"%s\": não é uma versão do mapa (1 a 9999)", kMapVersionKey, text.c_str());
        else
            extras->mapVersion = static_cast<int>(value);
        // Its values mean what that map says, which this program cannot know: not read, written or checked.
        if (extras->mapVersion > 0 && extras->mapVersion != kRegisterMapVersion)
            *problem = Format("o arquivo segue o mapa de registradores %d; este programa conhece o mapa %d",
                              extras->mapVersion, static_cast<int>(kRegisterMapVersion));
        return true;
    }
    return false;
}

std::string CommentLine(const ParameterKey& key, const ConfigSnapshot& s) {
    return Format("# %s: %s\n", key.label, DescribeParameter(key, s).c_str());
}

const char* const kHeaderLines[] = {
    "# Configuração de um transmissor Orvi, gravada pelo orvictl.",
    "#",
    "# Para gravá-la num transmissor: orvictl load ARQUIVO (--dry-run mostra antes o que mudaria).",
    "# Valem os números depois de '='; os nomes nos comentários são só para leitura.",
    "# Temperaturas em graus da unidade escolhida; as entradas 6 e 14 (Pt100 de alta resolução)",
    "# usam décimos de grau (-1999 = -199.9). Entradas lineares (16 a 18): números da escala.",
    "# Set point, histerese e bloqueio só são escritos com uma função de alarme (diferente de 0).",
    "# Endereço e taxa não fazem parte: veja orvictl address e orvictl baud.",
};
const char kOriginPrefix[] = "# Origem:";
const char kMadeForLine[] = "# Firmware e mapa de registradores para os quais foi feita (load avisa noutro firmware).";
const char kTagComment[] = "# Nome do ponto de medição (fica só no arquivo; o transmissor não o guarda).";
const char kAcceptedPrefix[] = "# valores aceitos: ";
const char kTrimCommentStart[] = "# Calibração da saída deste transmissor";
const char kTrimCommentEnd[] = "# orvictl load --with-calibration ARQUIVO; sem essa opção, load não a escreve.";

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// Whether a comment is one the program writes itself (and writes again with the values it describes).
bool IsProgramComment(const std::string& line) {
    for (const char* header : kHeaderLines)
        if (line == header) return true;
    if (line == kMadeForLine || line == kTagComment || line == kTrimCommentEnd) return true;
    if (StartsWith(line, kOriginPrefix) || StartsWith(line, kAcceptedPrefix) || StartsWith(line, kTrimCommentStart) ||
        StartsWith(line, std::string("# ") + kTagKey + " ="))
        return true;
    for (const ParameterKey& key : kParameterKeys)
        if (StartsWith(line, std::string("# ") + key.label + ":")) return true;
    return false;
}

// The lines people added, handed out by the line they stood before; what is left at the end goes last.
class OtherLines {
public:
    explicit OtherLines(const FileExtras& extras) : extras_(extras), taken_(extras.otherLines.size(), false) {}
    std::string Before(const std::string& before) {
        std::string text;
        for (size_t i = 0; i < extras_.otherLines.size(); ++i)
            if (!taken_[i] && extras_.otherLines[i].before == before)
                text += extras_.otherLines[i].text + "\n", taken_[i] = true;
        return text;
    }
    std::string Rest() {
        std::string text;
        for (size_t i = 0; i < extras_.otherLines.size(); ++i)
            if (!taken_[i]) text += extras_.otherLines[i].text + "\n";
        return text;
    }

private:
    const FileExtras& extras_;
    std::vector<bool> taken_;
};
}  // namespace

std::string FormatConfigFile(const ConfigSnapshot& s, const FileExtras& extras) {
    OtherLines other(extras);
    std::string text = std::string(kHeaderLines[0]) + "\n";
    if (!extras.source.empty()) text += std::string(kOriginPrefix) + " " + extras.source + "\n";
    for (size_t i = 1; i < sizeof kHeaderLines / sizeof kHeaderLines[0]; ++i)
        text += std::string(kHeaderLines[i]) + "\n";
    text += "\n" + other.Before("[") + Format("[%s]\n", kSection);
    if (extras.firmwareVersion > 0 || extras.mapVersion > 0) {
        text += std::string("\n") + kMadeForLine + "\n";
        if (extras.firmwareVersion > 0)
            text += other.Before(kFirmwareKey) +
                    Format("%s = %s\n", kFirmwareKey, FirmwareText(extras.firmwareVersion).c_str());
        if (extras.mapVersion > 0)
            text += other.Before(kMapVersionKey) + Format("%s = %d\n", kMapVersionKey, extras.mapVersion);
    }
    text += "\n" + other.Before(kTagKey) + kTagComment + "\n";
    text += (extras.tag.empty() ? "# " : "") + std::string(kTagKey) + " = " + extras.tag + "\n";
    for (const ParameterKey& key : kParameterKeys) {
        text += "\n" + other.Before(key.name) + CommentLine(key, s);
        if (key.kind == KeyKind::InputType || key.kind == KeyKind::Unit || key.kind == KeyKind::OutputType ||
            key.kind == KeyKind::AlarmFunction || key.kind == KeyKind::Flag)
            text += Format("%s%s\n", kAcceptedPrefix, AcceptedValuesText(key).c_str());
        text += Format("%s = %d\n", key.name, static_cast<int>(key.get(s)));
    }
    if (extras.hasSerial || HasAnyTrim(extras)) {
        const uint32_t serial = extras.hasSerial ? extras.serialNumber : s.serialNumber;
        text += "\n" + other.Before(kSerialKey) +
                Format("%s (número de série %s): só volta a ele, com\n%s\n", kTrimCommentStart,
                       SerialNumberText(serial).c_str(), kTrimCommentEnd);
        if (extras.hasSerial) text += Format("%s = %lu\n", kSerialKey, static_cast<unsigned long>(serial));
        for (int i = 0; i < kCalibrationValueCount; ++i)
            if (extras.hasTrim[i])
                text += other.Before(kCalibrationKeys[i]) +
                        Format("%s = %d\n", kCalibrationKeys[i], static_cast<int>(extras.trim[i]));
    }
    // What stood at the end, or before a line this file no longer has.
    const std::string rest = other.Rest();
    return rest.empty() ? text : text + "\n" + rest;
}

std::string FormatConfigIni(const ConfigSnapshot& s, const std::string& source, const std::string& tag,
                            const CalibrationValues* trims) {
    FileExtras extras;
    extras.source = source;
    extras.tag = tag;
    extras.firmwareVersion = s.firmwareVersion;
    extras.mapVersion = kRegisterMapVersion;
    if (trims) {
        extras.hasSerial = true;
        extras.serialNumber = s.serialNumber;
        for (int i = 0; i < kCalibrationValueCount; ++i) {
            extras.hasTrim[i] = true;
            extras.trim[i] = trims->*kCalibrationSlots[i].field;
        }
    }
    return FormatConfigFile(s, extras);
}

bool ParseConfigIniLines(const std::string& utf8, std::vector<RequestedValue>* requests,
                         std::vector<FileProblem>* problems, FileExtras* extras) {
    FileExtras ignored;
    if (!extras) extras = &ignored;
    const size_t problemsBefore = problems->size();
    bool inSection = false;
    bool sawSection = false;
    std::vector<std::string> pending;  // people's lines waiting for the key they stand before
    auto anchor = [&](const std::string& before) {
        for (const std::string& line : pending) extras->otherLines.push_back({before, line});
        pending.clear();
    };
    size_t start = 0;
    for (int number = 1; start < utf8.size(); ++number) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        std::string raw = utf8.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = Trim(raw);
        start = end + 1;
        if (line.empty()) continue;
        if (line[0] == '#' || line[0] == ';') {
            if (StartsWith(line, kOriginPrefix) && extras->source.empty())
                extras->source = Trim(line.substr(sizeof kOriginPrefix - 1));
            else if (!IsProgramComment(line))
                pending.push_back(raw);
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                problems->push_back({number, Format("seção mal formada \"%s\"", line.c_str())});
                continue;
            }
            const std::string name = Trim(line.substr(1, line.size() - 2));
            inSection = name == kSection;
            if (!inSection)
                problems->push_back(
                    {number, Format("seção desconhecida [%s] (esperada [%s])", name.c_str(), kSection)});
            if (inSection) anchor("[");
            sawSection = sawSection || inSection;
            continue;
        }
        if (!inSection) {
            if (!sawSection) problems->push_back({number, Format("valor fora da seção [%s]", kSection)});
            continue;
        }
        std::string problem;
        const size_t equals = line.find('=');
        const std::string name = Trim(line.substr(0, equals == std::string::npos ? 0 : equals));
        anchor(name);
        if (equals != std::string::npos && TakeExtra(name, Trim(line.substr(equals + 1)), extras, &problem)) {
            if (!problem.empty()) problems->push_back({number, problem});
            continue;
        }
        if (!TakeAssignment(line, Format("linha %d", number), number, requests, &problem))
            problems->push_back({number, problem});
    }
    anchor("");
    if (!sawSection && problems->size() == problemsBefore)
        problems->push_back({0, Format("falta a seção [%s]", kSection)});
    return problems->size() == problemsBefore;
}

bool ParseConfigIni(const std::string& utf8, std::vector<RequestedValue>* requests, std::vector<std::string>* problems,
                    FileExtras* extras) {
    std::vector<FileProblem> found;
    const bool sound = ParseConfigIniLines(utf8, requests, &found, extras);
    for (const FileProblem& problem : found)
        problems->push_back(problem.line > 0 ? Format("linha %d: %s", problem.line, problem.text.c_str())
                                             : problem.text);
    return sound;
}

bool ParseAssignments(const std::vector<std::string>& arguments, std::vector<RequestedValue>* requests,
                      std::vector<std::string>* problems) {
    int number = 0;
    for (const std::string& argument : arguments) {
        std::string problem;
        const std::string origin = Format("argumento %d", ++number);
        if (!TakeAssignment(argument, origin, 0, requests, &problem)) problems->push_back(origin + ": " + problem);
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
