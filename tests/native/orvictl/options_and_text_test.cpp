// orvictl's option parsers, its CSV rows, its text conversion and its one named port, where each is decided.
#include <gtest/gtest.h>

#include <cstring>

#include "captured_output.h"
#include "cli_options.h"
#include "comm_settings.h"
#include "dossier_files.h"
#include "frame_dump.h"
#include "monitor_csv.h"
#include "named_port_device.h"
#include "native_platform.h"
#include "report_options.h"
#include "serial_port.h"
#include "text_output.h"

namespace {

TEST(GlobalOptions, ParsedInFrontOfTheCommandAndEveryBadOneNamed) {
    const struct {
        std::vector<std::string> arguments;
        int at;  // -1: refused
        std::string port;
        int baud, address;
        const char* said;  // UTF-8
    } rows[] = {
        {{"orvictl", "show"}, 1, "", 0, 0, ""},
        {{"orvictl", "--port", "COM3", "--baud", "19200", "--address", "247", "show"}, 7, "COM3", 19200, 247, ""},
        {{"orvictl", "--port", "/dev/ttyUSB1"}, 3, "/dev/ttyUSB1", 0, 0, ""},
        {{"orvictl", "--help"}, 1, "", 0, 0, ""},
        {{"orvictl", "--verbose", "show"}, 2, "", 0, 0, ""},
        {{"orvictl", "--verbose", "--version"}, 2, "", 0, 0, ""},
        {{"orvictl", "--verbos", "show"}, -1, "", 0, 0, "opção desconhecida: --verbos"},
        {{"orvictl", "--port"}, -1, "", 0, 0, "--port precisa de um valor"},
        {{"orvictl", "--port", "", "show"}, -1, "", 0, 0, "--port precisa do nome de uma porta"},
        {{"orvictl", "--baud", "9601", "show"}, -1, "", 0, 0, "--baud 9601: a taxa deve ser"},
        {{"orvictl", "--address", "248", "show"}, -1, "", 0, 0, "--address 248: o endereço deve ser de 1 a 247"},
        {{"orvictl", "--address", "0", "show"}, -1, "", 0, 0, "o endereço deve ser de 1 a 247"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.back());
        ClearCaptured();
        GlobalOptions options;
        EXPECT_EQ(ParseGlobalOptions(row.arguments, &options), row.at);
        EXPECT_EQ(options.port, row.at < 0 ? options.port : row.port);
        if (row.at >= 0) {
            EXPECT_EQ(options.baud, row.baud);
            EXPECT_EQ(options.address, row.address);
        }
        EXPECT_NE(CapturedErr().find(row.said), std::string::npos) << CapturedErr();
        EXPECT_EQ(CapturedErr().empty(), row.at >= 0);
    }
}

TEST(CommandArguments, AnUnknownOptionIsCalledUnknownAndANumberIsWholeAndInRange) {
    EXPECT_EQ(UnexpectedArgumentText("--jsno"), "opção desconhecida: --jsno");
    EXPECT_EQ(UnexpectedArgumentText("-x"), "opção desconhecida: -x");
    EXPECT_EQ(UnexpectedArgumentText("extra"), "argumento inesperado: extra");
    EXPECT_EQ(UnexpectedArgumentText("-"), "argumento inesperado: -");  // standard input's usual name

    const struct {
        const char* text;
        bool ok;
        long value;
    } numbers[] = {{" 12 ", true, 12}, {"+7", true, 7},    {"-3", true, -3},        {"1.5", false, 0},
                   {"", false, 0},     {"-", false, 0},    {"12a", false, 0},       {"100", true, 100},
                   {"101", false, 0},  {"-101", false, 0}, {"9999999999", false, 0}};
    for (const auto& row : numbers) {
        long value = 0;
        EXPECT_EQ(ParseWholeNumber(row.text, -100, 100, &value), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(value, row.value) << row.text;
        }
    }
}

TEST(MonitorOptions, IntervalCountAndWhatToDoWithAnExistingCsv) {
    const struct {
        std::vector<std::string> arguments;
        const char* problem;  // UTF-8; empty when accepted
        uint32_t intervalMs;
        long count;
        bool append, force;
    } rows[] = {
        {{}, "", 1000, 0, false, false},
        {{"--interval", "0.1", "--count", "3"}, "", 100, 3, false, false},
        {{"--interval", "86400"}, "", 86400000, 0, false, false},
        {{"--csv", "a.csv", "--append"}, "", 1000, 0, true, false},
        {{"--force", "--csv", "a.csv"}, "", 1000, 0, false, true},
        {{"--interval", "0.09"}, "--interval espera segundos", 0, 0, false, false},
        {{"--interval", "86401"}, "--interval espera segundos", 0, 0, false, false},
        {{"--interval", "1s"}, "--interval espera segundos", 0, 0, false, false},
        {{"--count", "0"}, "--count espera um número inteiro positivo", 0, 0, false, false},
        {{"--count"}, "--count precisa de um valor", 0, 0, false, false},
        {{"--csv", "a.csv", "--append", "--force"}, "--append e --force não combinam", 0, 0, false, false},
        {{"--append"}, "valem só com --csv ARQUIVO", 0, 0, false, false},
        {{"--csv", "-", "--force"}, "valem só com --csv ARQUIVO", 0, 0, false, false},
        {{"--jsno"}, "opção desconhecida: --jsno", 0, 0, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.empty() ? "none" : row.arguments.front());
        MonitorOptions options;
        std::string problem;
        const bool ok = ParseMonitorOptions(row.arguments, &options, &problem);
        EXPECT_EQ(ok, *row.problem == '\0') << problem;
        if (!ok) {
            EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
            continue;
        }
        EXPECT_EQ(options.intervalMs, row.intervalMs);
        EXPECT_EQ(options.count, row.count);
        EXPECT_EQ(options.append, row.append);
        EXPECT_EQ(options.force, row.force);
    }
}

TEST(ReportOptions, FiveCurrentsFromTheMultimeterAndATolerance) {
    const struct {
        const char* text;
        std::vector<double> currents;  // empty: refused
    } rows[] = {
        {"4,8,12,16,20", {4, 8, 12, 16, 20}},
        {"4;8,02;12;16;20", {4, 8.02, 12, 16, 20}},  // decimal commas, as a Portuguese keyboard types them
        {"4,8,x,16,20", {}},
        {"4,8,12,16", {}},
        {"4,8,12,16,30.5", {}},
    };
    for (const auto& row : rows) {
        std::vector<double> currents;
        EXPECT_EQ(ParseMeasured(row.text, &currents), !row.currents.empty()) << row.text;
        if (!row.currents.empty()) {
            EXPECT_EQ(currents, row.currents) << row.text;
        }
    }
    double tolerance = 0;
    EXPECT_TRUE(ParseTolerance("0,5", &tolerance));
    EXPECT_EQ(tolerance, 0.5);
    for (const char* bad : {"0", "100.1", "", "1%"}) EXPECT_FALSE(ParseTolerance(bad, &tolerance)) << bad;
}

TEST(ReportOptions, TheTestInstrumentWithItsCalibrationDueDate) {
    const long today = 20260315;
    const struct {
        const char* text;
        const char* name;  // nullptr: refused
        const char* serial;
        const char* due;
        bool overdue;
    } rows[] = {
        {"Fluke 789, 1234567, 2027-03-31", "Fluke 789", "1234567", "31/03/2027", false},
        {"Calibrador, série A, ç, AB-12,15/03/2026", "Calibrador, série A, ç", "AB-12", "15/03/2026", false},
        {"Fluke 789,1234567,14/03/2026", "Fluke 789", "1234567", "14/03/2026", true},
        {"Fluke 789, 1234567, 2028-02-29", "Fluke 789", "1234567", "29/02/2028", false},
        {"Fluke 789, 1234567, 2027-02-29", nullptr, "", "", false},
        {"Fluke 789, 1234567, 31/04/2027", nullptr, "", "", false},
        {"Fluke 789, 1234567, 2027-3-31", nullptr, "", "", false},
        {"Fluke 789, 1234567, 2027-+3-01", nullptr, "", "", false},
        {"Fluke 789, 1234567", nullptr, "", "", false},
        {" , 1234567, 2027-03-31", nullptr, "", "", false},
        {"Fluke 789, , 2027-03-31", nullptr, "", "", false},
    };
    for (const auto& row : rows) {
        TestInstrument instrument;
        EXPECT_EQ(row.name != nullptr, ParseInstrument(row.text, today, &instrument)) << row.text;
        if (!row.name) continue;
        EXPECT_EQ(row.name, instrument.name);
        EXPECT_EQ(row.serial, instrument.serial);
        EXPECT_EQ(row.due, instrument.calibrationDue);
        EXPECT_EQ(row.overdue, instrument.calibrationOverdue) << row.text;
    }
}

TEST(ReportOptions, WhatReportAndPlantReportShareIsTakenWithItsValue) {
    const struct {
        std::vector<std::string> arguments;
        bool taken;
        const char* problem;  // nullptr: accepted
        size_t next;          // where the caller goes on
    } rows[] = {
        {{"--operator", " José da Silva "}, true, nullptr, 1},
        {{"--force", "--operator"}, true, nullptr, 0},
        {{"--operator", " \t"}, true, "--operator espera o nome de quem assina", 1},
        {{"--operator"}, true, "--operator precisa de um valor", 0},
        {{"--tolerance", "0"}, true, "--tolerance espera uma porcentagem do span, por exemplo 0.25", 1},
        {{"--measured", "4,8,12,16,20"}, false, nullptr, 0},
    };
    for (const auto& row : rows) {
        SigningOptions options;
        size_t i = 0;
        bool taken = false;
        std::string problem;
        EXPECT_EQ(row.problem == nullptr, TakeSigningOption(row.arguments, &i, &options, &taken, &problem))
            << row.arguments[0];
        EXPECT_EQ(row.taken, taken) << row.arguments[0];
        EXPECT_EQ(row.problem ? row.problem : "", problem);
        EXPECT_EQ(row.next, i) << row.arguments[0];
    }
    SigningOptions options;
    size_t i = 0;
    bool taken = false;
    std::string problem;
    ASSERT_TRUE(TakeSigningOption({"--operator", " José da Silva "}, &i, &options, &taken, &problem));
    EXPECT_EQ("José da Silva", options.operatorName);
}

TEST(DossierFiles, EachTagGetsAnOrdinaryFileOfItsOwnOnEitherSystem) {
    const std::vector<std::string> names =
        DossierPageNames({"TT-101", "tt-101", "TÉ 1/2", "index", "CON", "com3.a", ".x.", "", "TT-101-2", "FT_7"});
    EXPECT_EQ(names,
              (std::vector<std::string>{"TT-101.html", "tt-101-2.html", "T__1_2.html", "index-4.html", "CON-5.html",
                                        "com3.a-6.html", "_.x_.html", "_.html", "TT-101-2-9.html", "FT_7.html"}))
        << "one '_' a character, case not counted, the index page and Windows' devices kept free";
}

TEST(MonitorCsv, AMissedSampleIsARowWithItsTimeNoValueAndTheReason) {
    EXPECT_EQ(std::string(kCsvHeader), "hora,valor,unidade,alarme,estado_bits,estado\n");
    EXPECT_EQ(CsvMissedRow({"2026-01-02T03:04:05.006", "", ""}, "Time-out"),
              "2026-01-02T03:04:05.006,,,,,sem leitura: Time-out\n");
    EXPECT_EQ(CsvSampleRow({"t", "", ""}, "12.5",
                           "\xB0"
                           "C",
                           1, 3, "a, \"b\""),
              "t,12.5,\xB0"
              "C,1,3,\"a, \"\"b\"\"\"\n");
    EXPECT_EQ(CsvField("linha\r\nquebrada"), "\"linha\r\nquebrada\"");
    EXPECT_EQ(CsvField("simples"), "simples");
}

TEST(TextConversion, Cp1252AndUtf8BothWays) {
    const struct {
        std::string cp1252;
        std::string utf8;
    } rows[] = {
        {"abc", "abc"},
        {"\xE7\xE3o \xB0"
         "C",
         "ção °C"},                   // Latin-1 half: two bytes each
        {"\x80 \x9F \x8A", "€ Ÿ Š"},  // the code page's own 0x80..0x9F: three bytes or two
        {"\xFF", "ÿ"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Cp1252ToUtf8(row.cp1252), row.utf8) << row.utf8;
        EXPECT_EQ(Utf8ToCp1252(row.utf8), row.cp1252) << row.utf8;
    }
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // undefined in CP1252: U+FFFD
    EXPECT_EQ(Utf8ToCp1252("日本"), "??");                            // beyond the code page
    EXPECT_EQ(Utf8ToCp1252("a\x80z"), "a?z");                         // a stray continuation byte
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");                           // cut in the middle
    EXPECT_EQ(Utf8ToCp1252("\xC3(x"), "?(x");                         // a lead byte without its tail
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");               // four bytes, one character
}

// A port whose first open fails and every later one works: the link's COM1..COM4 scan would find it.
struct FlakyDevice : ScriptedSerialDevice {
    bool Open(const char* name) override {
        const bool opened = ScriptedSerialDevice::Open(name);
        openable.insert(name);
        return opened;
    }
};

TEST(NamedPort, AFailedOpenIsNeverRetriedByTheScanSoNoNoticeAppears) {
    for (const char* name : {"/dev/ttyUSB0", "COM3"}) {
        SCOPED_TRACE(name);
        ResetNativePlatform();
        FlakyDevice flaky;
        flaky.openable.clear();
        NamedPortDevice named(flaky, name);
        UseSerialDevice(&named);
        std::snprintf(commSettings.portName, sizeof commSettings.portName, "%s", named.Token());
        named.AllowOneOpen();
        EXPECT_EQ(OpenPort(), 0);
        EXPECT_TRUE(PortNotices().empty());
        EXPECT_EQ(flaky.events, std::vector<std::string>{std::string("open ") + name});
        // The next OpenPort may try again (a rate change reopens the line).
        std::snprintf(commSettings.portName, sizeof commSettings.portName, "%s", named.Token());
        named.AllowOneOpen();
        EXPECT_EQ(OpenPort(), 1);
        EXPECT_EQ(flaky.openName, name);
        EXPECT_TRUE(PortNotices().empty());
        ClosePort();
        UseSerialDevice(nullptr);
    }
}

}  // namespace

TEST(FieldOptions, AddressListsAndTheFrameDumpLine) {
    std::vector<int> addresses;
    ASSERT_TRUE(ParseAddressList("1,7,12", &addresses));
    EXPECT_EQ((std::vector<int>{1, 7, 12}), addresses);
    ASSERT_TRUE(ParseAddressList("10-12,3", &addresses));
    EXPECT_EQ((std::vector<int>{10, 11, 12, 3}), addresses);
    for (const char* bad : {"", "1,,2", "0", "248", "5-3", "1,1", "1-3,2", "a"})
        EXPECT_FALSE(ParseAddressList(bad, &addresses)) << bad;

    const uint8_t request[] = {0x01, 0x03, 0x00, 0x08, 0x00, 0x01, 0x05, 0xC8};
    EXPECT_EQ("15:00:00.123 -> 01 03 00 08 00 01 05 C8\n",
              FrameDumpLine("15:00:00.123", FrameDirection::Sent, request, sizeof request));
    EXPECT_EQ("15:00:00.290 <- (nada)\n", FrameDumpLine("15:00:00.290", FrameDirection::Received, request, 0));
}

TEST(MonitorCsv, ExcelRowsAndRowsNamingTheirTransmitterAndTimesWithTheirUtcOffset) {
    CsvStyle excel;
    excel.excel = true;
    EXPECT_EQ("hora;fuso;valor;unidade;alarme;estado_bits;estado\n", CsvHeader(excel));
    const CsvTime when = {"t", "08/12/2026 15:00:00,123", "UTC-03:00"};
    EXPECT_EQ(
        "08/12/2026 15:00:00,123;UTC-03:00;-12,5;\xB0"
        "C;1;3;\"a; b\"\n",
        CsvSampleRow(when, "-12.5",
                     "\xB0"
                     "C",
                     1, 3, "a; b", excel));
    CsvStyle both = excel;
    both.perAddress = true;
    EXPECT_EQ("hora;fuso;endereco;numero_serie;tag;valor;unidade;alarme;estado_bits;estado\n", CsvHeader(both));
    EXPECT_EQ("08/12/2026 15:00:00,123;UTC-03:00;12;00012345;;;;;;sem leitura: Time-out\n",
              CsvMissedRow(when, "Time-out", both, {12, "", "00012345"}));
    CsvStyle perAddress;
    perAddress.perAddress = true;
    EXPECT_EQ("t,7,00000007,\"TT,1\",12.5,,0,,não lido\n",
              CsvRefusedStatusRow({"t", "", ""}, "12.5", "", 0, perAddress, {7, "TT,1", "00000007"}));
    EXPECT_EQ(kCsvHeader, CsvHeader(CsvStyle())) << "the single-transmitter file keeps its columns";
    // --append takes a file whose header is its own, as a spreadsheet may have saved it again.
    EXPECT_TRUE(StartsWithCsvHeader(kUtf8Mark + CsvHeader(excel) + "t;1", excel));
    EXPECT_TRUE(StartsWithCsvHeader("hora,valor,unidade,alarme,estado_bits,estado\r\nt,1\r\n", CsvStyle()));
    EXPECT_FALSE(StartsWithCsvHeader(CsvHeader(both), excel)) << "one transmitter's columns are not several's";
    EXPECT_FALSE(StartsWithCsvHeader("hora,valor\n", CsvStyle()));

    // 2026-12-08 18:00:00 UTC seen at -03:00 and at +05:30.
    const std::time_t moment = 1796752800;
    std::tm local = {};
    local.tm_year = 126, local.tm_mon = 11, local.tm_mday = 8, local.tm_hour = 15;
    EXPECT_EQ("2026-12-08T15:00:00.123-03:00", TimestampText(local, moment, 123));
    // A Portuguese spreadsheet reads day/month/year with a decimal comma as a date-time.
    const CsvTime spreadsheet = CsvTimeOf(local, moment, 123);
    EXPECT_EQ("2026-12-08T15:00:00.123-03:00", spreadsheet.iso);
    EXPECT_EQ("08/12/2026 15:00:00,123", spreadsheet.local);
    EXPECT_EQ("UTC-03:00", spreadsheet.zone);
    local.tm_hour = 23, local.tm_min = 30;
    EXPECT_EQ("2026-12-08T23:30:00.007+05:30", TimestampText(local, moment, 7));
    local.tm_year = 127, local.tm_mon = 0, local.tm_mday = 1, local.tm_hour = 0, local.tm_min = 0;
    EXPECT_EQ("2027-01-01T00:00:00.000+00:00", TimestampText(local, 1798761600, 0)) << "a year boundary";
}
