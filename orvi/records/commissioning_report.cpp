// The commissioning report's page. Literal text uses character references for every accented letter,
// so the page is right whatever code page the program's own strings are compiled to.
#include "commissioning_report.h"

#include "html_text.h"
#include "printed_page.h"

namespace {
// Compact enough that a report with every section filled prints on two A4 pages.
const char kStyle[] =
    "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; color: #000; margin: 0 auto;"
    " max-width: 182mm; }\n"
    "h1 { font-size: 15pt; margin: 0 0 2mm; }\n"
    "h2 { font-size: 11.5pt; margin: 4mm 0 1.5mm; border-bottom: 1px solid #000; }\n"
    "p { margin: 1.5mm 0; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "th, td { border: 1px solid #555; padding: 0.6mm 1.5mm; text-align: left; vertical-align: top; }\n"
    "td.n, th.n { text-align: right; }\n"
    "td.n { white-space: nowrap; }\n"
    "table.loop, table.alarm, table.instrument { font-size: 9pt; margin-bottom: 1mm; }\n"
    ".changed { font-weight: bold; }\n"
    ".pass { font-weight: bold; }\n"
    ".fail { font-weight: bold; text-decoration: underline; }\n"
    ".warning { font-weight: bold; }\n"
    ".verdict { font-size: 11pt; font-weight: bold; margin: 1.5mm 0; }\n"
    "@media print { .back { display: none; } }\n"
    "section { break-inside: avoid; }\n"
    "svg.trend { width: 100%; height: auto; }\n";

// A label and its value, side by side within a row.
std::string Cells(const std::string& label, const std::string& value) {
    return "<th>" + label + "</th><td>" + HtmlEscape(value) + "</td>";
}

std::string Identity(const CommissioningReport& r) {
    std::string html = "<section><h2>Identifica&#231;&#227;o</h2>\n<table class=\"identity\">\n";
    html += "<tr>" + Cells("N&#250;mero de s&#233;rie", r.serial) + Cells("Firmware", r.firmware) + "</tr>\n";
    html += "<tr>" + Cells("Endere&#231;o", std::to_string(r.address)) +
            Cells("Taxa", std::to_string(r.rate) + " bit/s") + "</tr>\n";
    html += "<tr>" + Cells("Tag", r.tag.empty() ? "-" : r.tag) + Cells("Porta", r.port) + "</tr>\n";
    html += "<tr><th>Tipo de entrada</th><td colspan=\"3\">" + HtmlEscape(r.inputType) + "</td></tr>\n";
    return html + "</table></section>\n";
}

std::string Settings(const CommissioningReport& r) {
    std::string html =
        "<section><h2>Configura&#231;&#227;o</h2>\n<table class=\"settings\">\n"
        "<tr><th>Par&#226;metro</th><th>Como encontrado</th><th>Como deixado</th></tr>\n";
    for (const ReportSetting& s : r.settings) {
        const bool changed = s.asFound != s.asLeft;
        html += std::string("<tr") + (changed ? " class=\"changed\"" : "") + "><td>" + HtmlEscape(s.label) +
                "</td><td>" + HtmlEscape(s.asFound) + "</td><td>" + HtmlEscape(s.asLeft) + "</td></tr>\n";
    }
    html += "</table>\n<p>" + std::to_string(r.journalWrites) +
            " escrita(s) deste transmissor no di&#225;rio; o que nunca foi escrito aparece igual nas duas "
            "colunas.</p>\n";
    if (!r.unconfirmedWrites.empty()) {
        html +=
            "<p class=\"warning\">Escritas n&#227;o confirmadas (podem ter sido escritas; a coluna como deixado "
            "mostra o que o transmissor tinha ao ser lido):";
        for (const std::string& write : r.unconfirmedWrites) html += " " + HtmlEscape(write) + ";";
        html += "</p>\n";
    }
    html += "</section>\n";
    return html;
}

std::string Trims(const CommissioningReport& r) {
    std::string html = "<section><h2>Ajustes da sa&#237;da (ZERO e SPAN)</h2>\n<table class=\"trims\">\n<tr>";
    for (const auto& trim : r.trims) html += Cells(HtmlEscape(trim.first), trim.second);
    if (r.trims.empty()) html += "<td>n&#227;o lidos</td>";
    return html + "</tr>\n</table></section>\n";
}

const char kBlank[] = "<td class=\"n\">&#160;</td>";

// One reading's cells: the current, its error and its verdict; blank where nothing was measured.
std::string ReadingCells(const LoopPoint* p) {
    if (!p || !p->measured) return std::string(kBlank) + kBlank + "<td>&#160;</td>";
    return "<td class=\"n\">" + DecimalComma(p->measuredMa, 3) + "</td><td class=\"n\">" +
           DecimalComma(p->errorPercent, 3) + "</td><td class=\"" + (p->pass ? "pass\">APROVADO" : "fail\">REPROVADO") +
           "</td>";
}

bool Measured(const std::vector<LoopPoint>& points) { return !points.empty() && points.front().measured; }

std::string InstrumentTable(const TestInstrument& i) {
    auto cell = [](const std::string& text) { return "<td>" + (text.empty() ? "&#160;" : HtmlEscape(text)) + "</td>"; };
    return "<table class=\"instrument\"><tr><th>Instrumento de teste</th>" + cell(i.name) + "<th>S&#233;rie</th>" +
           cell(i.serial) + "<th>Calibra&#231;&#227;o v&#225;lida at&#233;</th>" + cell(i.calibrationDue) +
           (i.calibrationOverdue ? "<td class=\"fail\">VENCIDA</td>" : "") + "</tr></table>\n";
}

std::string LoopSection(const CommissioningReport& r) {
    std::string html = "<section><h2>Verifica&#231;&#227;o da malha</h2>\n";
    double lowMa = 0, highMa = 0;
    if (r.loop.empty() || !OutputSpanMa(r.outputType, &lowMa, &highMa)) {
        return html + "<p>Tipo de sa&#237;da desconhecido (" + std::to_string(r.outputType) +
               "): sem correntes esperadas.</p></section>\n";
    }
    html += "<p>Sa&#237;da " + DecimalComma(lowMa, 0) + " a " + DecimalComma(highMa, 0) + " mA sobre a faixa " +
            DecimalComma(r.rangeLow, r.valueDecimals) + " a " + DecimalComma(r.rangeHigh, r.valueDecimals) + " " +
            HtmlEscape(r.unit) + "; erro em % do span, toler&#226;ncia &#177;" + DecimalComma(r.tolerancePercent, 2) +
            " %.</p>\n" + InstrumentTable(r.instrument) +
            "<table class=\"loop\">\n<tr><th class=\"n\" rowspan=\"2\">Faixa</th><th class=\"n\" "
            "rowspan=\"2\">Valor</th><th class=\"n\" rowspan=\"2\">Esperado (mA)</th><th "
            "colspan=\"3\">Como encontrado</th><th colspan=\"3\">Como deixado</th></tr>\n<tr><th "
            "class=\"n\">mA</th><th class=\"n\">Erro (%)</th><th>Resultado</th><th "
            "class=\"n\">mA</th><th class=\"n\">Erro (%)</th><th>Resultado</th></tr>\n";
    for (size_t i = 0; i < r.loop.size(); ++i) {
        const LoopPoint& p = r.loop[i];
        const double value = r.rangeLow + (r.rangeHigh - r.rangeLow) * p.percent / 100.0;
        html += "<tr><td class=\"n\">" + DecimalComma(p.percent, 0) + " %</td><td class=\"n\">" +
                DecimalComma(value, r.valueDecimals) + " " + HtmlEscape(r.unit) + "</td><td class=\"n\">" +
                DecimalComma(p.expectedMa, 3) + "</td>" +
                ReadingCells(i < r.loopAsFound.size() ? &r.loopAsFound[i] : nullptr) + ReadingCells(&p) + "</tr>\n";
    }
    html += "</table>\n";
    if (!Measured(r.loop))
        html += "<p class=\"verdict\">Medi&#231;&#245;es a anotar &#224; m&#227;o.</p>\n";
    else
        html += std::string("<p class=\"verdict\">Resultado da malha: ") +
                (LoopCheckPassed(r.loop) ? "APROVADA" : "REPROVADA") + "</p>\n";
    if (Measured(r.loopAsFound))
        html += std::string("<p>Malha como encontrada: ") +
                (LoopCheckPassed(r.loopAsFound) ? "APROVADA" : "REPROVADA") + ".</p>\n";
    return html + "</section>\n";
}

std::string Value(double value, const CommissioningReport& r) {
    return DecimalComma(value, r.valueDecimals) + (r.unit.empty() ? "" : " " + HtmlEscape(r.unit));
}

std::string Direction(bool rising) { return rising ? "ao subir acima de " : "ao descer abaixo de "; }

// Trips beyond these are counted in the verdict but not listed, so that the report stays on two pages.
const size_t kListedTrips = 4;

std::string AlarmSection(const CommissioningReport& r) {
    const AlarmTripCheck& a = r.alarm;
    std::string html =
        "<section><h2>Atua&#231;&#227;o do alarme</h2>\n<p>Fun&#231;&#227;o: " + HtmlEscape(r.alarmName) + " (" +
        std::to_string(a.function) + ")";
    if (a.expected.empty()) {
        return html +
               (a.function == 0 ? ": sem alarme, nada a verificar."
                                : ": atua por falha ou evento, n&#227;o pelo valor do processo; sem ponto de "
                                  "atua&#231;&#227;o a verificar.") +
               "</p></section>\n";
    }
    html +=
        "; set point " + Value(a.setPoint, r) + ", histerese " + Value(a.hysteresis, r) + ". O rel&#233; deve atuar ";
    for (size_t i = 0; i < a.expected.size(); ++i)
        html += (i ? " ou " : "") + Direction(a.expected[i].rising) + Value(a.expected[i].value, r);
    html += ".</p>\n";
    const std::string header =
        "<table class=\"alarm\">\n<tr><th class=\"n\">Tempo</th><th class=\"n\">Antes (desligado)</th><th "
        "class=\"n\">Ao atuar (ligado)</th><th class=\"n\">Esperado</th><th>Resultado</th></tr>\n";
    if (!r.hasTrend || !a.recorded) {
        html += header + "<tr>" + kBlank + kBlank + kBlank + "<td class=\"n\">" + Value(a.expected[0].value, r) +
                "</td><td>&#160;</td></tr>\n</table>\n<p>" +
                (r.hasTrend ? "O registro de tend&#234;ncia n&#227;o tem a coluna alarme: a anotar &#224; m&#227;o."
                            : "Valores a anotar &#224; m&#227;o, movendo a entrada atrav&#233;s do ponto de "
                              "atua&#231;&#227;o.") +
                "</p></section>\n";
        return html;
    }
    if (a.trips.empty())
        return html +
               "<p class=\"verdict\">O rel&#233; n&#227;o atuou durante o registro: mova a entrada "
               "atrav&#233;s do ponto de atua&#231;&#227;o.</p></section>\n";
    html += header;
    for (size_t i = 0; i < a.trips.size() && i < kListedTrips; ++i) {
        const SeenTrip& t = a.trips[i];
        html += "<tr><td class=\"n\">" + DecimalComma(t.seconds, 1) + " s</td><td class=\"n\">" + Value(t.before, r) +
                "</td><td class=\"n\">" + Value(t.at, r) + "</td><td class=\"n\">" +
                (t.expectedKnown ? Value(t.expected, r) : "sentido inesperado") + "</td><td class=\"" +
                (t.pass ? "pass\">APROVADO" : "fail\">REPROVADO") + "</td></tr>\n";
    }
    html += "</table>\n";
    if (a.trips.size() > kListedTrips)
        html += "<p>" + std::to_string(a.trips.size()) + " atua&#231;&#245;es no registro; as " +
                std::to_string(kListedTrips) + " primeiras acima.</p>\n";
    html +=
        "<p>O rel&#233; mudou entre duas leituras: a atua&#231;&#227;o passa quando o ponto esperado est&#225; "
        "entre elas (&#177;" +
        DecimalComma(r.tolerancePercent, 2) + " % da faixa).</p>\n";
    return html + "<p class=\"verdict\">Resultado do alarme: " + (AlarmTripsPassed(a) ? "APROVADO" : "REPROVADO") +
           "</p></section>\n";
}

std::string TrendSection(const CommissioningReport& r) {
    std::string html = "<section><h2>Tend&#234;ncia do valor do processo</h2>\n";
    if (!r.hasTrend)
        return html + "<p>Sem registro de tend&#234;ncia" +
               (r.trendHint.empty() ? "" : " (" + HtmlEscape(r.trendHint) + ")") + ".</p></section>\n";
    html += "<p>" + std::to_string(r.trend.samples.size()) + " amostras desde " + HtmlEscape(r.trend.firstTime) +
            "; a faixa configurada aparece como uma banda tracejada.</p>\n";
    return html + TrendSvg(r.trend, 680, 220) + "</section>\n";
}

// "Instalação Norte — TT-101 — Orvi nº 00012345", at the top of every printed page. UTF-8 bytes
// spelled out: it goes into CSS, where character references do not work.
std::string RunningHeader(const CommissioningReport& r) {
    const std::string dash = " \xe2\x80\x94 ";
    std::string header = r.plant.empty() ? "" : "Instala\xc3\xa7\xc3\xa3o " + r.plant + dash;
    if (!r.tag.empty()) header += r.tag + dash;
    return header + "Orvi n\xc2\xba " + r.serial;
}
}  // namespace

std::map<std::string, int32_t> ValuesBeforeFirstWrite(const std::vector<JournalEntry>& entries) {
    std::map<std::string, int32_t> values;
    std::map<std::string, bool> seen;
    for (const JournalEntry& entry : entries) {
        if (seen[entry.key]) continue;
        seen[entry.key] = true;
        if (entry.hasBefore) values[entry.key] = entry.before;
    }
    return values;
}

std::vector<std::string> UnconfirmedWrites(const std::vector<JournalEntry>& entries) {
    std::vector<std::string> writes;
    for (const JournalEntry& entry : entries) {
        const JournalOutcome outcome = OutcomeOfEntry(entry);
        if (outcome == JournalOutcome::kNotConfirmed || outcome == JournalOutcome::kNoReply)
            writes.push_back(entry.key + ": " + entry.result);
    }
    return writes;
}

std::string CommissioningReportHtml(const CommissioningReport& r) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>Relat&#243;rio "
        "de comissionamento &#8212; " +
        HtmlEscape(r.serial) + "</title>\n<style>\n" + PrintedPageCss(RunningHeader(r)) + kStyle +
        "</style>\n</head>\n<body>\n";
    if (!r.indexPage.empty())
        html += "<p class=\"back\"><a href=\"" + HtmlEscape(r.indexPage) +
                "\">&#8592; &#205;ndice da instala&#231;&#227;o " + HtmlEscape(r.plant) + "</a></p>\n";
    html += "<h1>Relat&#243;rio de comissionamento</h1>\n<p>Transmissor Orvi n&#186; " + HtmlEscape(r.serial) +
            (r.tag.empty() ? "" : " &#8212; " + HtmlEscape(r.tag)) +
            (r.plant.empty() ? "" : ", instala&#231;&#227;o " + HtmlEscape(r.plant)) + ". Emitido em " +
            HtmlEscape(r.issued) + " por " + HtmlEscape(r.user) +
            (r.machine.empty() ? "" : " (" + HtmlEscape(r.machine) + ")") + ".</p>\n";
    html += Identity(r) + Settings(r) + Trims(r) + LoopSection(r) + AlarmSection(r) + TrendSection(r);
    html += ApprovalLineHtml(r.operatorName);
    return html + "</body>\n</html>\n";
}
