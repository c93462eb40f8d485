// The message that names what a configuration file opened on the sheet leaves out.
#include "file_not_taken.h"

namespace {
std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}
}  // namespace

std::string FileNotTakenText(const FileExtras& extras, const std::vector<const ParameterKey*>& dormant) {
    std::vector<std::string> trims;
    for (int i = 0; i < kCalibrationValueCount; ++i)
        if (extras.hasTrim[i]) trims.push_back(kCalibrationKeys[i]);
    std::vector<std::string> alarm;
    for (const ParameterKey* key : dormant) alarm.push_back(key->name);
    if (trims.empty() && alarm.empty()) return "";

    std::string text = "Do arquivo não vão para o transmissor:";
    if (!trims.empty())
        text += "\n- a calibração da saída (" + NameList(trims) +
                "): ela é própria de cada transmissor e se ajusta na página Calibração "
                "(orvictl load --with-calibration a restaura de um arquivo);";
    if (!alarm.empty())
        text += "\n- " + NameList(alarm) + (alarm.size() == 1 ? ": não é escrito" : ": não são escritos") +
                " enquanto a função de alarme for 0 (Sem Alarme);";
    text.back() = '.';
    return text;
}
