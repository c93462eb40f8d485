// The instrument index as spreadsheets save it: separators, encodings, columns in any order, and the
// rows it refuses with their line numbers.
#include <gtest/gtest.h>

#include "instrument_index.h"

namespace {

bool Has(const std::vector<std::string>& problems, const std::string& text) {
    for (const std::string& problem : problems)
        if (problem == text) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) text += problem + "\n";
    return text;
}

TEST(InstrumentIndex, ReadsCommasOrSemicolonsInUtf8OrAnsiWithColumnsInAnyOrder) {
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"commas, UTF-8",
         "tag,linha,endereco,taxa,configuracao,numero_serie,descricao\n"
         "TT-101,/dev/ttyUSB0,3,9600,tt.ini,00012345,Forno de fusão\n"
         "TT-102,rfc2217://caixa:4001,4,19200,sub/tt2.ini,,\"Saída, lado B\"\n"},
        {"semicolons as a Portuguese spreadsheet saves, its UTF-8 mark, CRLF and accented headings",
         "\xEF\xBB\xBF"
         "Descrição;Endereço;Tag;Linha;Taxa;Configuração;Número de série\r\n"
         "Forno de fusão;3;TT-101;/dev/ttyUSB0;9600;tt.ini;00012345\r\n"
         "Saída, lado B;4;TT-102;rfc2217://caixa:4001;19200;sub/tt2.ini;\r\n"},
        {"Windows' ANSI (1252), semicolons, a quoted cell with a quote inside",
         "tag;linha;endereco;taxa;configuracao;numero_serie;descricao\n"
         "TT-101;/dev/ttyUSB0;3;9600;tt.ini;00012345;Forno de fus\xE3o\n"
         "TT-102;rfc2217://caixa:4001;4;19200;sub/tt2.ini;;\"Sa\xED"
         "da, lado B\"\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        InstrumentIndex index;
        std::vector<std::string> problems;
        ASSERT_TRUE(ParseInstrumentIndex(file.bytes, &index, &problems)) << Joined(problems);
        ASSERT_EQ(2u, index.rows.size());
        const IndexRow& first = index.rows[0];
        EXPECT_EQ("TT-101", first.tag);
        EXPECT_EQ("/dev/ttyUSB0", first.line);
        EXPECT_EQ(3, first.address);
        EXPECT_EQ(9600, first.baud);
        EXPECT_EQ("tt.ini", first.configuration);
        EXPECT_EQ("00012345", first.serial);
        EXPECT_EQ("Forno de fusão", first.description);
        EXPECT_EQ(2, first.lineNumber);
        const IndexRow& second = index.rows[1];
        EXPECT_EQ("rfc2217://caixa:4001", second.line);
        EXPECT_EQ(19200, second.baud);
        EXPECT_EQ("", second.serial);
        EXPECT_EQ("Saída, lado B", second.description) << "a separator inside quotes is text";
    }
}

TEST(InstrumentIndex, KeepsOtherColumnsSkipsEmptyRowsAndCountsLinesInsideQuotes) {
    const std::string bytes =
        "tag,linha,endereco,taxa,configuracao,faixa_ma,descricao\n"
        "TT-101,COM3,3,9600,tt.ini,4-20,\"duas\nlinhas\"\n"
        ",,,,,,\n"
        "\n"
        "TT-102,COM3,4,9600,tt.ini,,\n";
    InstrumentIndex index;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseInstrumentIndex(bytes, &index, &problems)) << Joined(problems);
    ASSERT_EQ(2u, index.rows.size());
    ASSERT_EQ(1u, index.rows[0].fields.size());
    EXPECT_EQ("faixa_ma", index.rows[0].fields[0].first);
    EXPECT_EQ("4-20", index.rows[0].fields[0].second);
    EXPECT_EQ("duas\nlinhas", index.rows[0].description);
    EXPECT_EQ(6, index.rows[1].lineNumber) << "the line break inside the quotes counts";
}

TEST(InstrumentIndex, RefusesEachBadRowByItsLineAndAMissingColumnByTheHeader) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> problems;
    } cases[] = {
        {"a missing column",
         "tag;linha;taxa;configuracao\nTT-1;COM1;9600;a.ini\n",
         {"linha 1: falta a coluna endereco no cabeçalho"}},
        {"a column named twice",
         "tag,linha,endereco,Endereço,taxa,configuracao\n",
         {"linha 1: a coluna Endereço aparece duas vezes no cabeçalho"}},
        {"bad cells, each with its line",
         "tag,linha,endereco,taxa,configuracao,numero_serie\n"
         "TT-1,COM1,0,9600,a.ini,\n"
         "TT-2,COM1,5,9601,a.ini,\n"
         "TT-3,COM1,6,9600,,12-34\n"
         ",COM1,7,9600,a.ini,\n"
         "TT-5,COM1,8,9600,a.ini,,sobra\n",
         {"linha 2: endereco \"0\": o endereço deve ser de 1 a 247",
          "linha 3: taxa \"9601\": a taxa deve ser 1200, 2400, 4800, 9600 ou 19200",
          "linha 4: falta o valor de configuracao",
          "linha 4: numero_serie \"12-34\": o número de série tem só algarismos", "linha 5: falta o valor de tag",
          "linha 6: 7 campos, o cabeçalho tem 6"}},
        {"a tag twice, an address of one line twice",
         "tag,linha,endereco,taxa,configuracao\n"
         "TT-1,COM1,3,9600,a.ini\n"
         "TT-1,COM2,3,9600,a.ini\n"
         "TT-2,COM1,3,19200,a.ini\n",
         {"linha 3: o tag TT-1 já está na linha 2", "linha 4: o endereço 3 da linha COM1 já é do tag TT-1 (linha 2)"}},
        {"a quote left open",
         "tag,linha,endereco,taxa,configuracao\nTT-1,\"COM1,3,9600,a.ini\n",
         {"linha 2: aspas abertas e não fechadas até o fim do arquivo"}},
        {"a header and nothing else",
         "tag,linha,endereco,taxa,configuracao\n",
         {"o índice não tem nenhum ponto de medição"}},
        {"UTF-16", std::string("\xFF\xFEt\0a\0g\0", 8), {"arquivo em UTF-16: grave-o como UTF-8"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InstrumentIndex index;
        std::vector<std::string> problems;
        EXPECT_FALSE(ParseInstrumentIndex(c.bytes, &index, &problems));
        EXPECT_EQ(c.problems.size(), problems.size()) << Joined(problems);
        for (const std::string& expected : c.problems) EXPECT_TRUE(Has(problems, expected)) << Joined(problems);
    }
}

TEST(InstrumentIndex, SerialNumbersAndFilesBesideTheIndex) {
    uint32_t serial = 0;
    EXPECT_TRUE(ParseIndexSerial("00012345", &serial));
    EXPECT_EQ(12345u, serial);
    EXPECT_TRUE(ParseIndexSerial("4294967295", &serial));
    EXPECT_FALSE(ParseIndexSerial("4294967296", &serial));
    EXPECT_FALSE(ParseIndexSerial("", &serial));

    EXPECT_EQ("/plant/cfg/tt.ini", PathBesideIndex("/plant/indice.csv", "cfg/tt.ini"));
    EXPECT_EQ("tt.ini", PathBesideIndex("indice.csv", "tt.ini"));
    EXPECT_EQ("C:\\usina\\tt.ini", PathBesideIndex("C:\\usina\\indice.csv", "tt.ini"));
    EXPECT_EQ("/etc/tt.ini", PathBesideIndex("/plant/indice.csv", "/etc/tt.ini"));
    EXPECT_EQ("D:\\tt.ini", PathBesideIndex("C:\\usina\\indice.csv", "D:\\tt.ini"));
}

}  // namespace
