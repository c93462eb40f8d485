// Text into HTML: escaping and the numbers of a Portuguese page.
#pragma once
#include <string>

// A UTF-8 text safe inside an element or a quoted attribute.
std::string HtmlEscape(const std::string& utf8);
// A number with a decimal comma and the given decimals: 12,500.
std::string DecimalComma(double value, int decimals);
