// Reading the instrument index: a spreadsheet's CSV, its header naming the columns, one measuring point a row.
#include "instrument_index.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "communication_rates.h"
#include "csv_records.h"
#include "file_text.h"
#include "text_convert.h"

namespace {
// The columns every row needs, as the header names them.
const char* const kRequiredColumns[] = {"tag", "linha", "endereco", "taxa", "configuracao"};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool AllEmpty(const std::vector<std::string>& cells) {
    for (const std::string& cell : cells)
        if (!Trimmed(cell).empty()) return false;
    return true;
}

// The separator the header uses: the one that splits it into more names.
char SeparatorOf(const std::string& text) {
    const std::string header = text.substr(0, text.find_first_of("\r\n"));
    size_t commas = 0, semicolons = 0;
    for (char c : header) commas += c == ',', semicolons += c == ';';
    return semicolons > commas ? ';' : ',';
}

// The cells of one row checked and taken into row; each problem goes to problems.
void TakeRow(const CsvRecord& record, const std::map<std::string, size_t>& columns,
             const std::vector<std::string>& names, IndexRow* row, std::vector<std::string>* problems) {
    const std::string at = Format("linha %d", record.lineNumber);
    auto cell = [&](const char* column) {
        const auto found = columns.find(column);
        if (found == columns.end() || found->second >= record.cells.size()) return std::string();
        return Trimmed(record.cells[found->second]);
    };
    row->lineNumber = record.lineNumber;
    // Empty cells past the header are what spreadsheets leave of a column once used.
    const std::vector<std::string> beyond(record.cells.begin() + std::min(record.cells.size(), names.size()),
                                          record.cells.end());
    if (!AllEmpty(beyond))
        problems->push_back(Format("%s: %d campos, o cabeçalho tem %d", at.c_str(),
                                   static_cast<int>(record.cells.size()), static_cast<int>(names.size())));
    row->tag = cell("tag");
    row->line = cell("linha");
    row->configuration = cell("configuracao");
    row->serial = cell("numero_serie");
    row->description = cell("descricao");
    for (const char* required : kRequiredColumns)
        if (cell(required).empty()) problems->push_back(Format("%s: falta o valor de %s", at.c_str(), required));
    long number = 0;
    const std::string address = cell("endereco");
    if (!address.empty()) {
        if (ParseWholeNumber(address, 1, 247, &number))
            row->address = static_cast<int>(number);
        else
            problems->push_back(
                Format("%s: endereco \"%s\": o endereço deve ser de 1 a 247", at.c_str(), address.c_str()));
    }
    const std::string baud = cell("taxa");
    if (!baud.empty()) {
        if (ParseWholeNumber(baud, 1, 1000000, &number) && IsNetworkRate(static_cast<int32_t>(number)))
            row->baud = static_cast<int32_t>(number);
        else
            problems->push_back(
                Format("%s: taxa \"%s\": a taxa deve ser 1200, 2400, 4800, 9600 ou 19200", at.c_str(), baud.c_str()));
    }
    uint32_t serial = 0;
    if (!row->serial.empty() && !ParseIndexSerial(row->serial, &serial))
        problems->push_back(
            Format("%s: numero_serie \"%s\": o número de série tem só algarismos", at.c_str(), row->serial.c_str()));
    for (const auto& column : columns) {
        const bool known = column.first == "tag" || column.first == "linha" || column.first == "endereco" ||
                           column.first == "taxa" || column.first == "configuracao" || column.first == "numero_serie" ||
                           column.first == "descricao";
        if (!known)
            row->fields.emplace_back(Trimmed(names[column.second]), column.second < record.cells.size()
                                                                        ? Trimmed(record.cells[column.second])
                                                                        : std::string());
    }
}

// One tag names one measuring point, and one address of a line one transmitter.
void CheckUnique(const std::vector<IndexRow>& rows, std::vector<std::string>* problems) {
    for (size_t i = 0; i < rows.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (!rows[i].tag.empty() && rows[i].tag == rows[j].tag)
                problems->push_back(Format("linha %d: o tag %s já está na linha %d", rows[i].lineNumber,
                                           rows[i].tag.c_str(), rows[j].lineNumber));
            else if (rows[i].address && rows[i].address == rows[j].address && rows[i].line == rows[j].line)
                problems->push_back(Format("linha %d: o endereço %d da linha %s já é do tag %s (linha %d)",
                                           rows[i].lineNumber, rows[i].address, rows[i].line.c_str(),
                                           rows[j].tag.c_str(), rows[j].lineNumber));
        }
    }
}
}  // namespace

std::string IndexColumnKey(const std::string& name) {
    static const std::pair<const char*, char> kAccents[] = {
        {"á", 'a'}, {"à", 'a'}, {"â", 'a'}, {"ã", 'a'}, {"é", 'e'}, {"ê", 'e'}, {"í", 'i'}, {"ó", 'o'},
        {"ô", 'o'}, {"õ", 'o'}, {"ú", 'u'}, {"ç", 'c'}, {"Á", 'a'}, {"Â", 'a'}, {"Ã", 'a'}, {"É", 'e'},
        {"Ê", 'e'}, {"Í", 'i'}, {"Ó", 'o'}, {"Ô", 'o'}, {"Õ", 'o'}, {"Ú", 'u'}, {"Ç", 'c'}};
    const std::string trimmed = Trimmed(name);
    std::string key;
    for (size_t i = 0; i < trimmed.size();) {
        bool replaced = false;
        for (const auto& accent : kAccents) {
            const std::string letter = accent.first;
            if (trimmed.compare(i, letter.size(), letter) == 0) {
                key += accent.second;
                i += letter.size();
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        const char c = trimmed[i++];
        key += c == ' ' || c == '-' ? '_' : c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key == "numero_de_serie" ? "numero_serie" : key;
}

bool ParseIndexSerial(const std::string& text, uint32_t* serial) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > 0xFFFFFFFFull) return false;
    *serial = static_cast<uint32_t>(value);
    return true;
}

bool ParseInstrumentIndex(const std::string& bytes, InstrumentIndex* index, std::vector<std::string>* problems) {
    index->rows.clear();
    std::string text, problem;
    if (!DecodeFileText(bytes, &text, &problem)) {
        problems->push_back(problem);
        return false;
    }
    index->separator = SeparatorOf(text);
    std::vector<CsvRecord> records;
    int openAt = 0;
    if (!SplitCsvRecords(text, index->separator, &records, &openAt)) {
        problems->push_back(Format("linha %d: aspas abertas e não fechadas até o fim do arquivo", openAt));
        return false;
    }
    size_t first = 0;
    while (first < records.size() && AllEmpty(records[first].cells)) ++first;
    if (first == records.size()) {
        problems->push_back("o índice está vazio: falta o cabeçalho (tag, linha, endereco, taxa, configuracao)");
        return false;
    }
    const CsvRecord& header = records[first];
    std::vector<std::string> names;
    std::map<std::string, size_t> columns;
    for (size_t i = 0; i < header.cells.size(); ++i) {
        names.push_back(header.cells[i]);
        const std::string key = IndexColumnKey(header.cells[i]);
        if (key.empty()) continue;
        if (!columns.emplace(key, i).second)
            problems->push_back(Format("linha %d: a coluna %s aparece duas vezes no cabeçalho", header.lineNumber,
                                       Trimmed(header.cells[i]).c_str()));
    }
    for (const char* required : kRequiredColumns)
        if (!columns.count(required))
            problems->push_back(Format("linha %d: falta a coluna %s no cabeçalho", header.lineNumber, required));
    if (!problems->empty()) return false;

    for (size_t i = first + 1; i < records.size(); ++i) {
        if (AllEmpty(records[i].cells)) continue;
        IndexRow row;
        TakeRow(records[i], columns, names, &row, problems);
        index->rows.push_back(row);
    }
    CheckUnique(index->rows, problems);
    if (index->rows.empty() && problems->empty()) problems->push_back("o índice não tem nenhum ponto de medição");
    return problems->empty();
}

std::string PathBesideIndex(const std::string& indexPath, const std::string& name) {
    const bool absolute = (!name.empty() && (name[0] == '/' || name[0] == '\\')) ||
                          (name.size() > 1 && name[1] == ':');  // C:\... on Windows
    if (absolute) return name;
    const size_t slash = indexPath.find_last_of("/\\");
    return slash == std::string::npos ? name : indexPath.substr(0, slash + 1) + name;
}
