// Where the calibration values live and which of them a spin position may replace.
#include "live_calibration.h"

const CalibrationValueSlot kCalibrationSlots[kCalibrationValueCount] = {
    {21, &CalibrationValues::offset4to20, "Erro na leitura do offset da calibração 4 a 20mA (%s)",
     "Erro na escrita do Offset 4 a 20mA (%s)"},
    {22, &CalibrationValues::gain4to20, "Erro na leitura do ganho da calibração 4 a 20mA (%s)",
     "Erro na escrita do Ganho 4 a 20mA (%s)"},
    {23, &CalibrationValues::offset0to20, "Erro na leitura do offset da calibração 0 a 20mA (%s)",
     "Erro na escrita do Offset 0 a 20mA (%s)"},
    {24, &CalibrationValues::gain0to20, "Erro na leitura do ganho da calibração 0 a 20mA (%s)",
     "Erro na escrita do Ganho 0 a 20mA (%s)"},
};

CalibrationPair CalibrationPairFor(int outputType) {
    CalibrationPair pair = {nullptr, nullptr};
    if (outputType == 13) {
        pair.zero = &kCalibrationSlots[2];
        pair.span = &kCalibrationSlots[3];
    } else if (outputType == 14) {
        pair.zero = &kCalibrationSlots[0];
        pair.span = &kCalibrationSlots[1];
    }
    return pair;
}

int16_t TakeSpinPosition(int16_t held, uint32_t getPosAnswer, SpinRange range) {
    if ((getPosAnswer >> 16) != 0) return held;
    const int16_t position = static_cast<int16_t>(getPosAnswer & 0xFFFFu);
    if (position < range.low || position > range.high) return held;
    return position;
}
