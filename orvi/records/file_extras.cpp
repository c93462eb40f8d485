// The keys of a configuration file that are not registers.
#include "file_extras.h"

const char* const kCalibrationKeys[kCalibrationValueCount] = {"zero_4a20", "span_4a20", "zero_0a20", "span_0a20"};
const char kSerialKey[] = "numero_serie";
const char kTagKey[] = "tag";
const char kFirmwareKey[] = "firmware";
const char kMapVersionKey[] = "mapa_registradores";

bool HasAnyTrim(const FileExtras& extras) {
    for (bool has : extras.hasTrim)
        if (has) return true;
    return false;
}
