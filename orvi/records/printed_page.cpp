// The running header, page number and approval line of a printed record.
#include "printed_page.h"

#include <cstdio>

#include "html_text.h"

std::string CssString(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        // A header is one line.
        if (byte < 0x20 || byte == 0x7F) {
            out += ' ';
        } else if (c == '"' || c == '\\' || c == '<' || c == '>') {
            // Quotes and backslashes would end or bend the string, '<' and '>' could close the style
            // element: each becomes an escape, whose trailing space is part of it.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%x ", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string PrintedPageCss(const std::string& header) {
    return "@page { size: A4; margin: 14mm 14mm;\n"
           "  @top-left { content: " +
           CssString(header) +
           "; font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 8pt; }\n"
           "  @bottom-right { content: \"p\\e1 gina \" counter(page) \" de \" counter(pages);"
           " font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 8pt; }\n}\n"
           ".sign { margin-top: 10mm; display: flex; gap: 8mm; break-inside: avoid; }\n"
           ".sign div { flex: 1; border-top: 1px solid #000; padding-top: 1mm; font-size: 9pt; }\n";
}

std::string ApprovalLineHtml(const std::string& operatorName) {
    return "<section class=\"sign\"><div>Data</div><div>Operador" +
           (operatorName.empty() ? std::string() : ": " + HtmlEscape(operatorName)) +
           "</div><div>Assinatura</div></section>\n";
}
