// The rows of several sessions of the serve benchmark, each with servers
// started afresh, read back and combined: a session's servers can be placed
// by the system better or worse than the other's for the whole session, so a
// single one can mislead; the median of each row over the sessions is the
// figure reported.
#pragma once

#include <string>
#include <vector>

#include "load_figures.h"

// One row per line, tab-separated: name, value, target, verdict.
bool WriteResults(const std::string &path, const std::vector<ResultRow> &rows);
// False, with a sentence in error, when the file cannot be read or a line is
// not such a row.
bool ReadResults(const std::string &path, std::vector<ResultRow> &rows, std::string &error);

// Each row of the first session, its value the median of that row over every
// session that has it, judged afresh against its target; FAILED when any
// session failed it.
std::vector<ResultRow> MedianOfSessions(const std::vector<std::vector<ResultRow>> &sessions);

// The rows for people: value, target, and the verdict or noVerdict in its place.
std::string ResultsTable(const std::vector<ResultRow> &rows, const std::string &noVerdict);
