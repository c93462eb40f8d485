// orvictl's files where they are read and written: editors' encodings, the INI reader, file errors.
#include <gtest/gtest.h>

#include <cerrno>

#include "config_ini.h"
#include "file_text.h"
#include "text_output.h"

namespace {

TEST(FileText, Utf8WithOrWithoutAMarkReadsAndUtf16IsRefusedByName) {
    const std::string ini = "[Orvi]\nsaida = 13\n";
    const struct {
        const char* what;
        std::string bytes;
        bool read;
    } rows[] = {
        {"UTF-8", ini, true},
        {"UTF-8 with the mark Notepad writes", "\xEF\xBB\xBF" + ini, true},
        {"UTF-16 LE with its mark", std::string("\xFF\xFE[\0O\0", 6), false},
        {"UTF-16 BE with its mark", std::string("\xFE\xFF\0[\0O", 6), false},
        {"UTF-16 LE without a mark", std::string("[\0O\0r\0", 6), false},
        {"UTF-16 BE without a mark", std::string("\0[\0O", 4), false},
        {"empty", "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string text;
        std::string problem;
        EXPECT_EQ(DecodeFileText(row.bytes, &text, &problem), row.read);
        if (row.read) {
            EXPECT_EQ(text, row.bytes.empty() ? "" : ini);
        } else {
            EXPECT_EQ(problem, "arquivo em UTF-16: grave-o como UTF-8");
        }
    }
    // Bytes that are not UTF-8 are Windows-1252, as older editors saved them: the tag keeps its letters.
    std::string text, problem;
    ASSERT_TRUE(DecodeFileText("[Orvi]\ntag = forno \xE7\xE3o \x80\n", &text, &problem));
    EXPECT_EQ(text, "[Orvi]\ntag = forno ção €\n");
    // Bytes neither encoding reads whole are refused, never read as other letters.
    const struct {
        const char* what;
        std::string bytes;
        const char* problem;
    } refused[] = {
        {"a byte code page 1252 leaves undefined", "[Orvi]\ntag = forno \x81\n",
         "arquivo que não é UTF-8 nem Windows-1252: grave-o como UTF-8"},
        {"UTF-8 letters beside a 1252 one", "[Orvi]\ntag = forno \xC3\xA7\xE3o\n",
         "arquivo que mistura UTF-8 com outra codificação: grave-o como UTF-8"},
        {"the UTF-8 mark before a 1252 letter", "\xEF\xBB\xBF[Orvi]\ntag = \xE7\n",
         "arquivo que mistura UTF-8 com outra codificação: grave-o como UTF-8"},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.what);
        problem.clear();
        EXPECT_FALSE(DecodeFileText(row.bytes, &text, &problem));
        EXPECT_EQ(problem, row.problem);
    }
}

TEST(FileText, ErrorsSayTheirReasonInPortuguese) {
    EXPECT_EQ(FileErrorText(EISDIR), "é uma pasta, não um arquivo");
    EXPECT_EQ(FileErrorText(ENOENT), "o arquivo ou a pasta não existe");
    EXPECT_EQ(FileErrorText(EACCES), "sem permissão");
    EXPECT_EQ(FileErrorText(ENOSPC), "o disco está cheio");
    EXPECT_EQ(FileErrorText(9999), "erro 9999 do sistema");
}

TEST(ConfigIni, LinesAreReadAsSaveWritesThemAndEveryProblemIsNamed) {
    const struct {
        const char* text;  // UTF-8
        std::vector<std::string> requested;
        std::vector<std::string> problems;
    } rows[] = {
        {"# comentário\n; outro\n\n[Orvi]\r\nsaida = 13\r\n  offset=-3  \n", {"saida=13", "offset=-3"}, {}},
        {"[ Orvi ]\nentrada = 7\n", {"entrada=7"}, {}},
        {"saida = 13\n[Orvi]\n", {}, {"linha 1: valor fora da seção [Orvi]"}},
        {"[Outra]\nsaida = 13\n",
         {},
         {"linha 1: seção desconhecida [Outra] (esperada [Orvi])", "linha 2: valor fora da seção [Orvi]"}},
        {"[Orvi\n", {}, {"linha 1: seção mal formada \"[Orvi\""}},
        {"# só comentários\n", {}, {"falta a seção [Orvi]"}},
        {"[Orvi]\nsaida 13\ncor = azul\nsaida = 13\nsaida = 14\n",
         {},
         {"linha 2: esperado chave = valor, encontrado \"saida 13\"",
          "linha 3: chave desconhecida \"cor\" (veja orvictl set --help)", "linha 5: saida já foi dado em linha 4"}},
        {"[Orvi]\noffset = 1.5\nlimite_inferior = 40000\n",
         {},
         {"linha 2: offset = \"1.5\": não é um número inteiro",
          "linha 3: limite_inferior = \"40000\": fora do intervalo de um registrador (-32768 a 32767)"}},
        // Values the page does not offer are read: only a change to them is refused, once the
        // transmitter's own values are known.
        {"[Orvi]\nalarme_funcao = 2\nalarme_histerese = -5\n", {"alarme_funcao=2", "alarme_histerese=-5"}, {}},
        // A tag is one line of text: a control character would be cut or lost where it is written again.
        {"[Orvi]\ntag = TT\x1b"
         "101\n",
         {},
         {"linha 2: tag com caractere de controle"}},
        {"[Orvi]\ntag = TT\t101\n", {}, {}},
        // What the file was made for is no register: read aside, and a version that is none is named.
        {"[Orvi]\nfirmware = 1.11\nmapa_registradores = 1\nsaida = 13\n", {"saida=13"}, {}},
        {"[Orvi]\nfirmware = 1.2\nmapa_registradores = 0\nfirmware = 1.11\nfirmware = 1.11\n",
         {},
         {"linha 2: firmware = \"1.2\": não é uma versão de firmware (como 1.11)",
          "linha 3: mapa_registradores = \"0\": não é uma versão do mapa (1 a 9999)", "linha 5: firmware já foi dado"}},
        // Values of a register map this program does not know mean what it cannot tell.
        {"[Orvi]\nmapa_registradores = 2\nsaida = 13\n",
         {},
         {"linha 2: o arquivo segue o mapa de registradores 2; este programa conhece o mapa 1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<RequestedValue> requests;
        std::vector<std::string> problems;
        EXPECT_EQ(ParseConfigIni(row.text, &requests, &problems), row.problems.empty());
        std::vector<std::string> requested;
        for (const RequestedValue& request : requests)
            requested.push_back(std::string(request.key->name) + "=" + std::to_string(request.value));
        if (row.problems.empty()) {
            EXPECT_EQ(requested, row.requested);
        }
        std::vector<std::string> said;
        for (const std::string& problem : problems) said.push_back(problem);
        EXPECT_EQ(said, row.problems);
    }
}

// A file written again (set --file, the sheet on a file) keeps what it holds beyond its values: the
// origin, the firmware and map it was made for, the tag, the trims and every line a person added, where
// it stood; the program's own comments follow the new values.
TEST(ConfigIni, AFileWrittenAgainKeepsWhatItHoldsBeyondItsValuesWhereItStood) {
    ConfigSnapshot values = {};
    values.inputType = 0;
    values.lowerLimit = 0;
    values.upperLimit = 600;
    values.outputType = 14;
    values.firmwareVersion = 120;
    CalibrationValues trims = {-120, 10050, 33, 9990};
    std::string text = FormatConfigIni(values, "endereço 1, 9600 bit/s, COM1", "TT-101 Ação", &trims);
    text.insert(text.find("[Orvi]"), "# planta 3, folha 12\n");
    text.insert(text.find("\n# Limite Superior"), "\n; revisar na parada");
    text += "# fim: conferido por J. Silva\n";

    std::vector<RequestedValue> requests;
    std::vector<FileProblem> problems;
    FileExtras extras;
    ASSERT_TRUE(ParseConfigIniLines(text, &requests, &problems, &extras)) << problems[0].text;
    EXPECT_EQ(extras.firmwareVersion, 120);
    EXPECT_EQ(extras.mapVersion, 1);
    EXPECT_EQ(extras.source, "endereço 1, 9600 bit/s, COM1");
    ASSERT_EQ(extras.otherLines.size(), 3u) << "the program's own comments are not people's";
    values.upperLimit = 700;
    const std::string again = FormatConfigFile(values, extras);
    const std::vector<std::string> expected = {
        "# Origem: endereço 1, 9600 bit/s, COM1",
        "# planta 3, folha 12\n[Orvi]",
        "firmware = 1.20\nmapa_registradores = 1",
        "tag = TT-101 Ação",
        "; revisar na parada\n# Limite Superior da Escala: 700 °C\nlimite_superior = 700",
        "zero_4a20 = -120",
        "span_0a20 = 9990\n\n# fim: conferido por J. Silva\n"};
    for (const std::string& part : expected) EXPECT_NE(again.find(part), std::string::npos) << part << "\n" << again;
    // Read and written once more, nothing moves: no line is doubled or lost.
    FileExtras twice;
    std::vector<RequestedValue> more;
    ASSERT_TRUE(ParseConfigIniLines(again, &more, &problems, &twice));
    EXPECT_EQ(FormatConfigFile(values, twice), again);
    // A file of an older version says nothing of its firmware, and gets no key for it.
    EXPECT_EQ(FormatConfigFile(values, FileExtras()).find("firmware ="), std::string::npos);
}

}  // namespace
