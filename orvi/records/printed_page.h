// What every printed page of a record carries: a running header that names what it is about, the
// page number, and the approval line the record ends with.
#pragma once
#include <string>

// The CSS of a printed record: A4, the header (UTF-8, from people) in the top margin of every page
// and "página N de M" in the bottom one, counted per file, and the approval line's layout.
std::string PrintedPageCss(const std::string& header);
// A UTF-8 text as a quoted CSS string, safe inside a <style> element whatever it holds.
std::string CssString(const std::string& utf8);
// The approval line: date, operator (named when given) and signature, each a line to sign on.
std::string ApprovalLineHtml(const std::string& operatorName);
