#include "csv_records.h"

bool SplitCsvRecords(const std::string& text, char separator, std::vector<CsvRecord>* records, int* openAt) {
    int line = 1;
    CsvRecord record = {1, {""}};
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                record.cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                record.cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            record.cells.emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            records->push_back(record);
            record = {++line, {""}};
        } else {
            record.cells.back() += c;
        }
    }
    if (quoted) {
        *openAt = record.lineNumber;
        return false;
    }
    records->push_back(record);
    return true;
}
