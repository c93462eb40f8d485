// The commissioning report's decisions: loop-check currents and verdicts, the trend's scaling and CSV
// reading, and escaping of what comes from outside.
#include <gtest/gtest.h>

#include "commissioning_report.h"
#include "html_text.h"

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
    ASSERT_TRUE(ReadTrendCsv(csv, 0, &chart, &problem)) << problem;
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
    ASSERT_TRUE(ReadTrendCsv(excel, 7, &chart, &problem)) << problem;
    ASSERT_EQ(2u, chart.samples.size());
    EXPECT_DOUBLE_EQ(12.5, chart.samples[0].value);
    EXPECT_DOUBLE_EQ(13.25, chart.samples[1].value);
    EXPECT_DOUBLE_EQ(10, chart.samples[1].seconds);

    EXPECT_FALSE(ReadTrendCsv("a,b\n1,2\n", 0, &chart, &problem));
    EXPECT_FALSE(ReadTrendCsv("hora,valor\n", 0, &chart, &problem));
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
    ASSERT_TRUE(ReadTrendCsv(csv, 0, &chart, &problem)) << problem;
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
}

}  // namespace
