#pragma once

#include "TestDatabases.h"

#include <string>
#include <vector>

// Templates written straight into a reports table by someone who may write it: each is a good
// template of one drive/volser field on library 10.0.0.1 (volser VOL001) but for one column,
// which holds SQL aimed at a canary table (or, in a number column of a server that keeps only
// numbers there, a number the form never writes).
struct HostileTemplate {
    std::string name;
    std::string column; // the reports table's column that holds the bad value
};

// Creates the canary table with one row (named after the process, short enough for the
// 50-character columns) and inserts the templates for the user; the names come back in the
// reports table's column order (none when an insert failed). Also inserts "well formed", the
// same template with no bad value.
std::vector<HostileTemplate> insertHostileTemplates(const TestBackend& backend, const std::string& reportsTable,
                                                    const std::string& user);
// The canary table's name, and whether it still holds its one row.
std::string canaryTable();
bool canaryIntact(const TestBackend& backend);
void dropCanary(const TestBackend& backend);
