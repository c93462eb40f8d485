// Reading the bytes of a configuration file and naming file errors.
#include "file_text.h"

#include <cerrno>

#include "text_convert.h"

bool DecodeFileText(const std::string& bytes, std::string* utf8, std::string* problem) {
    const bool utf16Mark =
        bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    // Without a mark, UTF-16 of ASCII text has a zero in one of its first two bytes; no text file has.
    const bool utf16Zeros = bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0');
    if (utf16Mark || utf16Zeros) {
        *problem = "arquivo em UTF-16: grave-o como UTF-8";
        return false;
    }
    const bool utf8Mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string text = utf8Mark ? bytes.substr(3) : bytes;
    if (IsUtf8(text)) {
        *utf8 = text;
        return true;
    }
    // Read as 1252, a UTF-8 letter would turn into two or three others ("ç" into "Ã§").
    if (utf8Mark || HoldsUtf8Letter(text)) {
        *problem = "arquivo que mistura UTF-8 com outra codificação: grave-o como UTF-8";
        return false;
    }
    if (HoldsUndefinedCp1252(text)) {
        *problem = "arquivo que não é UTF-8 nem Windows-1252: grave-o como UTF-8";
        return false;
    }
    *utf8 = Cp1252ToUtf8(text);
    return true;
}

std::string FileErrorText(int error) {
    switch (error) {
    case ENOENT: return "o arquivo ou a pasta não existe";
    case EACCES:
    case EPERM: return "sem permissão";
    case EISDIR: return "é uma pasta, não um arquivo";
    case ENOTDIR: return "uma parte do caminho não é uma pasta";
    case EEXIST: return "o arquivo já existe";
    case ENOSPC: return "o disco está cheio";
    case EFBIG: return "o arquivo passaria do tamanho permitido";
    case EROFS: return "o disco só permite leitura";
    case ENAMETOOLONG: return "o nome é longo demais";
    case EMFILE:
    case ENFILE: return "arquivos abertos demais";
    case EIO: return "erro de leitura ou gravação no disco";
    default: return Format("erro %d do sistema", error);
    }
}
