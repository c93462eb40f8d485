// The dossier's index page. Literal text uses character references for every accented letter, as
// the transmitter's page does.
#include "dossier_index_page.h"

#include "html_text.h"
#include "printed_page.h"

namespace {
const char kStyle[] =
    "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; color: #000; margin: 0 auto;"
    " max-width: 182mm; }\n"
    "h1 { font-size: 15pt; margin: 0 0 2mm; }\n"
    "p { margin: 1.5mm 0; }\n"
    "table { border-collapse: collapse; width: 100%; font-size: 9pt; }\n"
    "th, td { border: 1px solid #555; padding: 0.6mm 1.5mm; text-align: left; vertical-align: top; }\n"
    "td.n { text-align: right; white-space: nowrap; }\n"
    ".tag { white-space: nowrap; }\n"
    "td.line { word-break: break-all; }\n"
    "tr { break-inside: avoid; }\n"
    "thead { display: table-header-group; }\n"
    ".fail { font-weight: bold; text-decoration: underline; }\n"
    "ul.differences { margin: 0.5mm 0 0; padding-left: 4mm; }\n";

std::string Verdict(const std::string& text, bool bad) {
    return bad ? "<td><span class=\"fail\">" + HtmlEscape(text) + "</span>" : "<td>" + HtmlEscape(text);
}

std::string Row(const DossierRow& row) {
    std::string html = "<tr><td class=\"tag\">" + HtmlEscape(row.tag) + "</td><td class=\"line\">" +
                       HtmlEscape(row.line) + "</td><td class=\"n\">" + std::to_string(row.address) +
                       "</td><td class=\"n\">" + (row.serial.empty() ? "-" : HtmlEscape(row.serial)) + "</td>" +
                       Verdict(row.configuration, !row.configurationOk);
    if (!row.differences.empty()) {
        html += "<ul class=\"differences\">";
        for (const std::string& difference : row.differences) html += "<li>" + HtmlEscape(difference) + "</li>";
        html += "</ul>";
    }
    html += "</td>" + Verdict(row.loop, row.loopFailed) + "</td><td>";
    html += row.page.empty() ? "sem p&#225;gina: " + HtmlEscape(row.noPage)
                             : "<a href=\"" + HtmlEscape(row.page) + "\">" + HtmlEscape(row.page) + "</a>";
    return html + "</td></tr>\n";
}

// The rows without a page, named, so that nobody looks for a page that was not made.
std::string MissingPages(const DossierIndex& index) {
    std::string tags;
    int count = 0;
    for (const DossierRow& row : index.rows)
        if (row.page.empty())
            tags += (count++ ? ", " : "") + ("<span class=\"tag\">" + HtmlEscape(row.tag) + "</span>");
    if (!count) return "<p>Todos os pontos t&#234;m a p&#225;gina do seu transmissor.</p>\n";
    return "<p class=\"fail\">" + std::to_string(count) +
           " ponto(s) sem p&#225;gina, porque o transmissor do &#237;ndice n&#227;o foi lido no seu endere&#231;o: " +
           tags + ".</p>\n";
}
}  // namespace

std::string DossierIndexHtml(const DossierIndex& index) {
    // The running header in UTF-8 bytes: it goes into CSS, where character references do not work.
    const std::string header = "Instala\xc3\xa7\xc3\xa3o " + index.plant +
                               " \xe2\x80\x94 \xc3\x8d"
                               "ndice do dossi\xc3\xaa";
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>Dossi&#234; da "
        "instala&#231;&#227;o " +
        HtmlEscape(index.plant) + "</title>\n<style>\n" + PrintedPageCss(header) + kStyle +
        "</style>\n</head>\n<body>\n";
    html += "<h1>Dossi&#234; da instala&#231;&#227;o " + HtmlEscape(index.plant) + "</h1>\n<p>" +
            std::to_string(index.rows.size()) + " ponto(s) de medi&#231;&#227;o do &#237;ndice " +
            HtmlEscape(index.indexFile) + ". Emitido em " + HtmlEscape(index.issued) + " por " +
            HtmlEscape(index.user) + (index.machine.empty() ? "" : " (" + HtmlEscape(index.machine) + ")") + ".</p>\n" +
            MissingPages(index);
    html +=
        "<table>\n<thead><tr><th>Tag</th><th>Linha</th><th>Endere&#231;o</th><th>N&#186; de s&#233;rie</th>"
        "<th>Configura&#231;&#227;o</th><th>Verifica&#231;&#227;o da malha</th><th>P&#225;gina</th></tr></thead>\n"
        "<tbody>\n";
    for (const DossierRow& row : index.rows) html += Row(row);
    html += "</tbody>\n</table>\n";
    html += ApprovalLineHtml(index.operatorName);
    return html + "</body>\n</html>\n";
}
