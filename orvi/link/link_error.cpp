// The fixed Portuguese texts of the link's result codes.
#include "link_error.h"

namespace {
// 21 slots of 45 characters, indexed by the code; unlisted codes have empty texts.
const char kLinkErrorTexts[21][45] = {
    "",
    "",
    "",
    "",
    "Escravo não respondeu o endereço correto",
    "Número de bytes a receber inválido",
    "Endereço de registrador inválido",
    "Valor retornado é diferente do valor forçado",
    "Resposta de execução do escravo",
    "Comando inválido",
    "Buffer de recepção cheio",
    "CRC inválido",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "Time-out",
};
}  // namespace

const char* LinkErrorText(unsigned code) {
    if (code >= sizeof kLinkErrorTexts / sizeof kLinkErrorTexts[0]) return "";
    return kLinkErrorTexts[code];
}
