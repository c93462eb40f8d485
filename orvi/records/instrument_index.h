// The instrument index: the plant's spreadsheet of measuring points (tag, line, address, rate and
// configuration file of each), saved as CSV.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One measuring point of the index. Texts are UTF-8, as people typed them.
struct IndexRow {
    int lineNumber = 0;  // where the row starts in the file, for messages
    std::string tag;
    std::string line;  // the port: a local port, tcp://, rfc2217:// or modbus-tcp://
    int address = 0;
    int32_t baud = 0;
    std::string configuration;  // the configuration file as written in the index (relative to the index)
    std::string serial;         // numero_serie as written; empty when the column or the cell is empty
    std::string description;
    // The other columns (the loop's fields and whatever the plant keeps), by their names in the header.
    std::vector<std::pair<std::string, std::string>> fields;
};

struct InstrumentIndex {
    std::vector<IndexRow> rows;  // in the file's order
    char separator = ',';
};

// The index from a file's bytes: UTF-8 (with or without its mark) or Windows' ANSI code page 1252,
// fields separated by ',' or ';' (as a Portuguese spreadsheet saves), quoted as spreadsheets quote.
// The header row names the columns in any order: tag, linha, endereco, taxa and configuracao, and
// optionally numero_serie, descricao and any others (case, accents and blanks in the names do not
// matter). Rows with every cell empty are skipped. False with every problem, each naming its line.
bool ParseInstrumentIndex(const std::string& bytes, InstrumentIndex* index, std::vector<std::string>* problems);

// A header's name as the program knows it: lower case, without accents, blanks as '_' ("Endereço"
// and "endereco", "Número de série" and "numero_serie" are one column).
std::string IndexColumnKey(const std::string& name);

// The serial number written in an index (digits, leading zeros or not) as the transmitter's number;
// false when it is no number.
bool ParseIndexSerial(const std::string& text, uint32_t* serial);

// A configuration file named in the index at indexPath: a relative name is taken from the index's folder.
std::string PathBesideIndex(const std::string& indexPath, const std::string& name);
