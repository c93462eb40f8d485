// The commissioning report's decisions: loop-check currents and verdicts, the trend's scaling and CSV
// reading, and escaping of what comes from outside.
#include <gtest/gtest.h>

#include <algorithm>

#include "commissioning_report.h"
#include "dossier_index_page.h"
#include "html_text.h"
#include "text_convert.h"
#include "transmitter_report.h"

namespace {

TEST(LoopCheck, ExpectedCurrentsFollowTheOutputType) {
    const std::vector<LoopPoint> fourTo20 = LoopCheck(14, {}, 0.25);
    ASSERT_EQ(5u, fourTo20.size());
    const double expected4[] = {4, 8, 12, 16, 20};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(expected4[i], fourTo20[i].expectedMa);
        EXPECT_DOUBLE_EQ(25.0 * i, fourTo20[i].percent);
        EXPECT_FALSE(fourTo20[i].measured);
    }
    const std::vector<LoopPoint> zeroTo20 = LoopCheck(13, {}, 0.25);
    EXPECT_DOUBLE_EQ(0, zeroTo20[0].expectedMa);
    EXPECT_DOUBLE_EQ(5, zeroTo20[1].expectedMa);
    EXPECT_TRUE(LoopCheck(7, {}, 0.25).empty()) << "an unknown output type has no expected currents";
    EXPECT_FALSE(LoopCheckPassed(fourTo20)) << "not measured is not passed";
}

TEST(LoopCheck, ErrorInPercentOfSpanAgainstTheTolerance) {
    // 4-20 mA: the span is 16 mA, so 0.25 % is 0.04 mA.
    const std::vector<LoopPoint> points = LoopCheck(14, {4.04, 7.96, 12.041, 16, 20.0}, 0.25);
    ASSERT_EQ(5u, points.size());
    EXPECT_NEAR(0.25, points[0].errorPercent, 1e-9);
    EXPECT_TRUE(points[0].pass) << "exactly at the tolerance passes";
    EXPECT_NEAR(-0.25, points[1].errorPercent, 1e-9);
    EXPECT_TRUE(points[1].pass);
    EXPECT_FALSE(points[2].pass) << points[2].errorPercent;
    EXPECT_FALSE(LoopCheckPassed(points));
    // 0-20 mA: span 20 mA, so 0.05 mA is 0.25 %.
    EXPECT_TRUE(LoopCheckPassed(LoopCheck(13, {0.05, 5, 10, 15, 19.95}, 0.25)));
    EXPECT_FALSE(LoopCheckPassed(LoopCheck(13, {0.06, 5, 10, 15, 20}, 0.25)));
}

TEST(TrendChart, ScalesValuesOntoPixelsEitherWay) {
    EXPECT_DOUBLE_EQ(100, ScaleToPixels(0, 0, 10, 100, 200));
    EXPECT_DOUBLE_EQ(150, ScaleToPixels(5, 0, 10, 100, 200));
    EXPECT_DOUBLE_EQ(160, ScaleToPixels(2, 0, 10, 200, 0)) << "y grows downwards";
    EXPECT_DOUBLE_EQ(50, ScaleToPixels(3, 3, 3, 0, 100)) << "a flat range stays in the middle";
}

TEST(TrendChart, ReadsTheMonitorCsvAndItsSpreadsheetForm) {
    TrendChart chart;
    std::string problem;
    const std::string csv =
        "hora,valor,unidade,alarme,estado_bits,estado\n"
        "2026-12-08T14:00:00.000,25.5,°C,0,0,\n"
        "2026-12-08T14:00:01.500,,°C,0,0,sem leitura\n"
        "2026-12-08T14:00:02.000,30,°C,1,0,\"a, b\"\n";
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(csv, TrendSource(), &chart, &problem)) << problem;
    ASSERT_EQ(2u, chart.samples.size());
    EXPECT_DOUBLE_EQ(0, chart.samples[0].seconds);
    EXPECT_DOUBLE_EQ(25.5, chart.samples[0].value);
    EXPECT_DOUBLE_EQ(2, chart.samples[1].seconds);
    EXPECT_EQ("°C", chart.unit);

    // BOM, ';', decimal comma, UTC offsets crossing midnight, and one transmitter of several.
    const std::string excel =
        "\xEF\xBB\xBFhora;endereco;tag;valor;unidade\n"
        "2026-12-08T23:59:59.000-03:00;7;TT-1;12,5;°C\n"
        "2026-12-09T00:00:00.000-03:00;9;TT-2;99;°C\n"
        "2026-12-09T03:00:09.000Z;7;TT-1;13,25;°C\n";
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(excel, TrendSource{7, ""}, &chart, &problem)) << problem;
    ASSERT_EQ(2u, chart.samples.size());
    EXPECT_DOUBLE_EQ(12.5, chart.samples[0].value);
    EXPECT_DOUBLE_EQ(13.25, chart.samples[1].value);
    EXPECT_DOUBLE_EQ(10, chart.samples[1].seconds);

    // monitor --excel's local date and time, which the spreadsheet reads as one, with its offset beside
    // it; a file the spreadsheet saved again may have lost the seconds.
    const std::string spreadsheet =
        "\xEF\xBB\xBFhora;fuso;valor;unidade\n"
        "08/12/2026 23:59:59,500;UTC-03:00;12,5;°C\n"
        "09/12/2026 03:00;UTC+00:00;14;°C\n"
        "09/12/2026 01:00:09;UTC-02:00;13,25;°C\n"
        "09/12/2026 01:00:09;-2;13,25;°C\n";
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(spreadsheet, TrendSource(), &chart, &problem)) << problem;
    ASSERT_EQ(3u, chart.samples.size());
    EXPECT_DOUBLE_EQ(0.5, chart.samples[1].seconds);
    EXPECT_DOUBLE_EQ(9.5, chart.samples[2].seconds);
    EXPECT_EQ("08/12/2026 23:59:59,500", chart.firstTime);

    EXPECT_EQ(TrendRead::kUnreadable, ReadTransmitterTrend("a,b\n1,2\n", TrendSource(), &chart, &problem));
    EXPECT_EQ(TrendRead::kUnreadable, ReadTransmitterTrend("hora,valor\n", TrendSource(), &chart, &problem));
}

TEST(TrendChart, TakesOnlyTheRowsOfItsTransmitterAndRefusesAFileWithoutThem) {
    // monitor --addresses: 7 answered by two transmitters in turn (the first moved away), 9 by another.
    const std::string csv =
        "hora,endereco,numero_serie,tag,valor,unidade,alarme,estado_bits,estado\n"
        "2026-12-08T14:00:00.000Z,7,00000011,,10,°C,0,0,\n"
        "2026-12-08T14:00:00.100Z,9,00000022,,90,°C,1,0,\n"
        "2026-12-08T14:00:01.000Z,7,00000033,,20,°C,0,0,\n"
        "2026-12-08T14:00:01.100Z,17,00000033,,70,°C,1,0,\n"
        "2026-12-08T14:00:02.000Z,7,33,,30,°C,1,0,\n"  // saved again by a spreadsheet
        "2026-12-08T14:00:03.000Z,7,00000033,,,,,,sem leitura: Time-out\n";
    TrendChart chart;
    std::string problem;
    TrendSource source;
    source.address = 7;
    source.serial = "00000033";
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(csv, source, &chart, &problem)) << problem;
    ASSERT_EQ(2u, chart.samples.size());
    EXPECT_DOUBLE_EQ(20, chart.samples[0].value);
    EXPECT_EQ(0, chart.samples[0].alarm);
    EXPECT_DOUBLE_EQ(1, chart.samples[1].seconds) << "the time runs from the transmitter's own first row";
    EXPECT_EQ(1, chart.samples[1].alarm) << "the alarm state read with the value";
    EXPECT_EQ("2026-12-08T14:00:01.000Z", chart.firstTime);

    source.serial.clear();  // the address alone where the serial number is not known
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(csv, source, &chart, &problem));
    EXPECT_EQ(3u, chart.samples.size());

    const struct {
        int address;
        const char* serial;
        const char* problem;
    } refused[] = {
        {1, "", "nenhuma linha é do endereço 1"},
        {9, "00000033", " com número de série 00000033"},
        {0, "00000044", "nenhuma linha é do número de série 00000044"},
    };
    for (const auto& row : refused) {
        source.address = row.address;
        source.serial = row.serial;
        EXPECT_EQ(TrendRead::kNotThisSource, ReadTransmitterTrend(csv, source, &chart, &problem)) << row.address;
        EXPECT_NE(std::string::npos, problem.find(row.problem)) << problem;
    }
    // A single transmitter's file names no transmitter: its rows are the report's.
    source.address = 7;
    source.serial = "00000033";
    EXPECT_EQ(TrendRead::kRead,
              ReadTransmitterTrend("hora,valor,alarme\n2026-12-08T14:00:00Z,5,\n", source, &chart, &problem));
    EXPECT_EQ(-1, chart.samples[0].alarm) << "an empty alarm field is not an alarm off";
    EXPECT_EQ(TrendRead::kUnreadable,
              ReadTransmitterTrend("hora,endereco,valor\n2026-12-08T14:00:00Z,7,\n", source, &chart, &problem))
        << "rows of the transmitter without a value";
}

// A range of 0 to 400 °C with a 4-20 mA output and an alarm at 300.
ConfigSnapshot AlarmAt300(int function, int hysteresis) {
    ConfigSnapshot config = {};
    config.upperLimit = 400;
    config.outputType = 14;
    config.alarmFunction = static_cast<int16_t>(function);
    config.alarmSetPoint = 300;
    config.alarmHysteresis = static_cast<int16_t>(hysteresis);
    return config;
}

TEST(AlarmTrip, EachFunctionTripsWhereItsRuleSaysAndTheRecordIsCheckedAgainstIt) {
    // The tolerance, 0.25 % of the range, is 1 unit; the hysteresis 10.
    ConfigSnapshot config = AlarmAt300(0, 10);
    struct Step {
        double value;
        int alarm;
    };
    const struct {
        int function;
        std::vector<ExpectedTrip> expected;
        std::vector<Step> record;
        std::vector<std::pair<double, bool>> trips;  // the value read on, pass
    } rows[] = {
        // Valor máximo: rising through 300; a second trip, off still at 302, came late and fails.
        {5,
         {{300, true}},
         {{280, 0}, {296, 0}, {304, 1}, {310, 1}, {290, 0}, {302, 0}, {-1, -1}, {320, 1}},
         {{304, true}, {320, false}}},
        // Valor mínimo: falling through 300; the relay on from the start is no trip seen.
        {4, {{300, false}}, {{280, 1}, {320, 0}, {301, 0}, {299.5, 1}}, {{299.5, true}}},
        // Diferencial mínimo and máximo: the hysteresis is the band.
        {6, {{290, false}}, {{300, 0}, {291, 0}, {289, 1}}, {{289, true}}},
        {7, {{310, true}}, {{300, 0}, {305, 0}, {306, 1}}, {{306, false}}},
        // Diferencial: either edge, each in its own direction; tripping upwards at the lower edge fails.
        {8,
         {{310, true}, {290, false}},
         {{300, 0}, {311, 1}, {300, 0}, {289, 1}, {280, 0}, {291, 1}},
         {{311, true}, {289, true}, {291, false}}},
        {1, {}, {{300, 0}, {310, 1}}, {}},
        {0, {}, {{300, 0}, {310, 1}}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.function);
        config.alarmFunction = static_cast<int16_t>(row.function);
        TrendChart record;
        for (size_t i = 0; i < row.record.size(); ++i)
            if (row.record[i].alarm >= 0)
                record.samples.push_back({static_cast<double>(i), row.record[i].value, row.record[i].alarm});
        const AlarmTripCheck check = CheckAlarmTrips(config, &record, 0.25);
        ASSERT_EQ(row.expected.size(), check.expected.size());
        for (size_t i = 0; i < row.expected.size(); ++i) {
            EXPECT_DOUBLE_EQ(row.expected[i].value, check.expected[i].value);
            EXPECT_EQ(row.expected[i].rising, check.expected[i].rising);
        }
        ASSERT_EQ(row.trips.size(), check.trips.size());
        for (size_t i = 0; i < row.trips.size(); ++i) {
            EXPECT_DOUBLE_EQ(row.trips[i].first, check.trips[i].at);
            EXPECT_EQ(row.trips[i].second, check.trips[i].pass) << "trip at " << check.trips[i].at;
        }
        EXPECT_EQ(!row.trips.empty() && std::all_of(row.trips.begin(), row.trips.end(),
                                                    [](const std::pair<double, bool>& t) { return t.second; }),
                  AlarmTripsPassed(check));
    }

    // Tenths inputs: the set point's register holds tenths.
    config.inputType = 6;
    config.alarmFunction = 5;
    config.alarmSetPoint = 1255;
    const AlarmTripCheck tenths = CheckAlarmTrips(config, nullptr, 0.25);
    EXPECT_DOUBLE_EQ(125.5, tenths.expected[0].value);
    EXPECT_DOUBLE_EQ(1, tenths.hysteresis);
    EXPECT_FALSE(tenths.recorded);
}

TEST(TrendChart, TheSvgDrawsTheRangeBandAndEverySampleInsideThePlot) {
    TrendChart chart;
    chart.samples = {{0, 0}, {60, 100}, {120, 50}};
    chart.rangeLow = 0;
    chart.rangeHigh = 100;
    chart.unit = "<°C>";
    const std::string svg = TrendSvg(chart, 600, 240);
    EXPECT_EQ(0u, svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_NE(std::string::npos, svg.find("id=\"range-band\""));
    EXPECT_NE(std::string::npos, svg.find("valor (&lt;°C&gt;)")) << "the unit is escaped";
    EXPECT_NE(std::string::npos, svg.find("tempo (s)"));
    const size_t at = svg.find("points=\"");
    ASSERT_NE(std::string::npos, at);
    std::istringstream points(svg.substr(at + 8, svg.find('"', at + 8) - at - 8));
    std::vector<std::pair<double, double>> xy;
    for (std::string pair; points >> pair;)
        xy.push_back({std::stod(pair.substr(0, pair.find(','))), std::stod(pair.substr(pair.find(',') + 1))});
    ASSERT_EQ(3u, xy.size());
    EXPECT_DOUBLE_EQ(64, xy[0].first) << "the first sample at the y axis";
    EXPECT_DOUBLE_EQ(584, xy[2].first) << "the last at the right edge";
    EXPECT_GT(xy[0].second, xy[1].second) << "higher values higher up";
    EXPECT_NEAR((xy[0].second + xy[1].second) / 2, xy[2].second, 0.11);
    for (const auto& p : xy) EXPECT_TRUE(p.second >= 14 && p.second <= 200) << p.second;
}

TEST(TrendChart, ARowWhoseTimeIsNoTimeIsPassedOverAndTheChartStillEnds) {
    // "inf" seconds once stretched the time axis without end: the drawing of its ticks never finished.
    const std::string csv =
        "hora,valor\n"
        "2026-12-08T14:00:00,1\n"
        "2026-12-08T14:00:inf,2\n"
        "2026-12-08T14:00:nan,2\n"
        "2026-12-08T14:00:1e300,2\n"
        "2026-13-08T14:00:00,2\n"
        "2026-12-08T24:00:00,2\n"
        "2026-12-08T14:00:00+25:00,2\n"
        "2026-12-08T14:00:30,3\n";
    TrendChart chart;
    std::string problem;
    ASSERT_EQ(TrendRead::kRead, ReadTransmitterTrend(csv, TrendSource(), &chart, &problem)) << problem;
    ASSERT_EQ(2u, chart.samples.size());
    EXPECT_DOUBLE_EQ(30, chart.samples[1].seconds);
    EXPECT_NE(std::string::npos, TrendSvg(chart, 600, 240).find("tempo (s)"));
}

TEST(Report, TextFromOutsideIsEscapedAndNumbersHaveADecimalComma) {
    EXPECT_EQ("a&amp;b &lt;i&gt; &quot;x&quot; &#39;y&#39;", HtmlEscape("a&b <i> \"x\" 'y'"));
    EXPECT_EQ("12,500", DecimalComma(12.5, 3));
    EXPECT_EQ("0,00", DecimalComma(-0.001, 2));
    EXPECT_EQ("-0,25", DecimalComma(-0.25, 2));

    CommissioningReport r;
    r.serial = "00012345";
    r.tag = "<script>alert(1)</script>";
    r.outputType = 14;
    r.rangeLow = 0;
    r.rangeHigh = 400;
    r.unit = "°C";
    r.loop = LoopCheck(14, {4, 8, 12, 16, 20.1}, 0.25);
    r.settings = {{"Limite inferior", "0 °C", "-100 °C"}, {"Saída", "4 a 20mA", "4 a 20mA"}};
    const std::string html = CommissioningReportHtml(r);
    EXPECT_EQ(std::string::npos, html.find("<script")) << "nothing that runs";
    EXPECT_NE(std::string::npos, html.find("&lt;script&gt;"));
    EXPECT_NE(std::string::npos, html.find("<meta charset=\"utf-8\">"));
    EXPECT_NE(std::string::npos, html.find("@page { size: A4"));
    EXPECT_NE(std::string::npos, html.find("Resultado da malha: REPROVADA"));
    EXPECT_NE(std::string::npos, html.find("<tr class=\"changed\"><td>Limite inferior"));
    EXPECT_EQ(4, [&] {
        int n = 0;
        for (size_t at = html.find(">APROVADO<"); at != std::string::npos; at = html.find(">APROVADO<", at + 1)) ++n;
        return n;
    }());
    EXPECT_EQ(std::string::npos, html.find("http")) << "nothing fetched from the network";
    // Without a trend, the hint is the making program's own (the configurator has no --trend).
    EXPECT_NE(std::string::npos, html.find("Sem registro de tend&#234;ncia.</p>"));
    r.trendHint = "use --trend <csv>";
    EXPECT_NE(std::string::npos, CommissioningReportHtml(r).find("tend&#234;ncia (use --trend &lt;csv&gt;).</p>"));

    // The printed pages' header is CSS: what people typed can end neither its string nor the style.
    r.plant = "Norte \"1\" \\\n";
    const std::string framed = CommissioningReportHtml(r);
    EXPECT_NE(std::string::npos, framed.find("@top-left { content: \"Instala\xc3\xa7\xc3\xa3o Norte \\22 1\\22  "
                                             "\\5c   \xe2\x80\x94 \\3c script\\3e alert(1)\\3c /script\\3e  "
                                             "\xe2\x80\x94 Orvi n\xc2\xba 00012345\";"))
        << framed.substr(0, 600);
    EXPECT_EQ(framed.find("</style>"), framed.rfind("</style")) << "one style element, closed once";
    EXPECT_NE(std::string::npos, framed.find("counter(page) \" de \" counter(pages)"));
    DossierIndex index;
    index.plant = "<i>";
    index.rows.push_back(DossierRow());
    index.rows[0].tag = "<b>";
    index.rows[0].noPage = "<u>";
    const std::string page = DossierIndexHtml(index);
    EXPECT_EQ(page.find("</style>"), page.rfind("</style"));
    EXPECT_EQ(std::string::npos, page.find("<b>"));
    EXPECT_EQ(std::string::npos, page.find("<i>"));
    EXPECT_EQ(std::string::npos, page.find("<u>"));
}

TEST(Report, TheLoopAsFoundAndAsLeftTheInstrumentAndTheAlarmTrip) {
    const ConfigSnapshot config = AlarmAt300(5, 2);
    CommissioningReport r;
    r.unit = "°C";
    r.hasTrend = true;
    r.trend.samples = {{0, 296, 0}, {1, 304, 1}};
    // Found off at 0 and 100 %, left within the tolerance.
    FillTransmitterReport(config, {}, {{4.2, 8, 12, 16, 19.9}, {4, 8, 12.01, 16, 20}}, 0.25, &r);
    r.instrument = {"Fluke 789, <1>", "1234567", "31/12/2025", true};
    std::string html = CommissioningReportHtml(r);
    EXPECT_NE(std::string::npos, html.find("<td class=\"n\">12,000</td><td class=\"n\">12,000</td><td class=\"n\">0,000"
                                           "</td><td class=\"pass\">APROVADO</td><td class=\"n\">12,010</td>"))
        << "at 50 %: the expected current, then as found, then as left";
    EXPECT_NE(std::string::npos, html.find("<td class=\"n\">4,200</td><td class=\"n\">1,250</td><td "
                                           "class=\"fail\">REPROVADO</td><td class=\"n\">4,000</td>"));
    EXPECT_NE(std::string::npos, html.find("Resultado da malha: APROVADA")) << "the verdict is the one as left";
    EXPECT_NE(std::string::npos, html.find("Malha como encontrada: REPROVADA"));
    EXPECT_NE(std::string::npos, html.find("<td>Fluke 789, &lt;1&gt;</td><th>S&#233;rie</th><td>1234567</td>"));
    EXPECT_NE(std::string::npos, html.find("31/12/2025</td><td class=\"fail\">VENCIDA"));
    EXPECT_NE(std::string::npos, html.find("Valor máximo (5); set point 300 °C, histerese 2 °C. O rel&#233; deve "
                                           "atuar ao subir acima de 300 °C."))
        << html.substr(html.find("Atua&#231;&#227;o do alarme"), 300);
    EXPECT_NE(std::string::npos, html.find("<td class=\"n\">296 °C</td><td class=\"n\">304 °C</td><td "
                                           "class=\"n\">300 °C</td><td class=\"pass\">APROVADO"));
    EXPECT_NE(std::string::npos, html.find("Resultado do alarme: APROVADO"));

    // Nothing given: the columns, the instrument and the trip stay blank to be filled in by hand.
    CommissioningReport blank;
    FillTransmitterReport(config, {}, {}, 0.25, &blank);
    html = CommissioningReportHtml(blank);
    EXPECT_EQ(std::string::npos, html.find("APROVAD"));
    EXPECT_EQ(std::string::npos, html.find("Malha como encontrada"));
    EXPECT_EQ(std::string::npos, html.find("VENCIDA"));
    EXPECT_NE(std::string::npos, html.find("<th>Instrumento de teste</th><td>&#160;</td>"));
    EXPECT_NE(std::string::npos, html.find("<td class=\"n\">&#160;</td><td class=\"n\">300 °C</td><td>&#160;</td>"))
        << "the expected trip point beside blank readings";
    // A relay that never switched on in the record is no verdict.
    blank.hasTrend = true;
    blank.trend.samples = {{0, 250, 0}, {1, 260, 0}};
    FillTransmitterReport(config, {}, {}, 0.25, &blank);
    EXPECT_NE(std::string::npos, CommissioningReportHtml(blank).find("O rel&#233; n&#227;o atuou durante o registro"));
}

TEST(Report, ValuesAsFoundComeFromTheFirstWriteOfEachKey) {
    JournalEntry first, second, unknown;
    first.key = second.key = "limite_inferior";
    first.hasBefore = second.hasBefore = true;
    first.before = 0;
    second.before = -100;
    unknown.key = "offset";
    const std::map<std::string, int32_t> found = ValuesBeforeFirstWrite({first, second, unknown});
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(0, found.at("limite_inferior"));

    // A write that may have arrived unconfirmed is named; a confirmed, refused or unsent one is not.
    first.result = "ok";  // a line of an older version
    SetJournalOutcome(&second, JournalOutcome::kNoReply, "Time-out");
    unknown.hasReadBack = true;
    SetJournalOutcome(&unknown, JournalOutcome::kNotConfirmed, "");
    JournalEntry refused = first;
    SetJournalOutcome(&refused, JournalOutcome::kRefused, "");
    CommissioningReport report;
    report.unconfirmedWrites = UnconfirmedWrites({first, second, unknown, refused});
    EXPECT_EQ(report.unconfirmedWrites,
              (std::vector<std::string>{"limite_inferior: sem resposta: pode ter sido escrito (Time-out)",
                                        "offset: não confirmado: lido 0"}));
    const std::string html = CommissioningReportHtml(report);
    EXPECT_NE(std::string::npos, html.find("Escritas n&#227;o confirmadas")) << html;
    EXPECT_NE(std::string::npos, html.find("offset: não confirmado: lido 0;")) << html;
    EXPECT_EQ(std::string::npos, CommissioningReportHtml(CommissioningReport()).find("n&#227;o confirmadas"));
    // Trims that could not be read are said to be so, never left as an empty row.
    EXPECT_NE(std::string::npos, CommissioningReportHtml(CommissioningReport()).find("<td>n&#227;o lidos</td>"));
    report.trims = {{"ZERO (4 a 20 mA)", "120"}};
    EXPECT_EQ(std::string::npos, CommissioningReportHtml(report).find("n&#227;o lidos"));
}

}  // namespace
