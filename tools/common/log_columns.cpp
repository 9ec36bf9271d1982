// Names of the recording's columns, as its header line carries them.
#include "log_columns.h"

const char *const kColumnNames[kColumnCount] = {
    "time", "index", "group", "name", "value", "units", "scaleMin", "scaleMax", "scaleDivisions"};

std::string ColumnHeader(LogColumn first) {
    std::string header;
    for (int column = first; column < kColumnCount; ++column) {
        header += (column == first ? "" : ",") + std::string(kColumnNames[column]);
    }
    return header + "\n";
}
