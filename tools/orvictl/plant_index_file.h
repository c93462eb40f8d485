// The instrument index as the plant commands take it: its rows, each with its configuration file read and checked.
#pragma once
#include <string>
#include <vector>

#include "instrument_index.h"
#include "line_session.h"
#include "requested_values.h"

struct PlantRow {
    IndexRow row;
    std::vector<RequestedValue> requests;  // the row's configuration file
};

// The index at path, its rows as written (no file they name read); every problem said. An exit code:
// 7 when it cannot be read, 2 for its form.
int ReadIndexFile(const std::string& path, InstrumentIndex* index);

// The index at path and the configuration file of each row (only the rows on line, when it is not
// empty), each file read once however many rows name it; every problem said, before any line is
// touched. An exit code: 7 for a file that cannot be read, 2 for the form of the index or a file,
// 5 for a configuration no transmitter could take.
int ReadPlantIndex(const std::string& path, const std::string& line, std::vector<PlantRow>* rows);

// Where a row's transmitter is: its line, address and rate, with the global network options.
LineTarget RowTarget(const IndexRow& row, const GlobalOptions& options);
