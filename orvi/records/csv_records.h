// Splitting CSV text as spreadsheets write it, for the files the program reads back.
#pragma once
#include <string>
#include <vector>

// A record of a CSV file: its cells and the line it starts on.
struct CsvRecord {
    int lineNumber;
    std::vector<std::string> cells;
};

// The records of text, quoted cells as spreadsheets write them ("a ""b""", separators and line breaks
// inside quotes). False when a quote is left open, with the line where its record began in openAt;
// the records before that one are in records all the same.
bool SplitCsvRecords(const std::string& text, char separator, std::vector<CsvRecord>* records, int* openAt);
