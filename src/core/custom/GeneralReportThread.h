#pragma once

#include "CustomReportRequest.h"

#include <atomic>

class GraphSink;
class QueryResultSink;
class UserPrompts;

// Where a custom report's output goes. Only the one its type needs is used: a line or bar graph
// window's sink, a table (the window's list, or a list kept for printing), the prompts for the
// last instance message, the export's failure and every error message.
struct CustomReportOutputs {
    GraphSink* graph = nullptr;
    QueryResultSink* table = nullptr;
    UserPrompts* prompts = nullptr;
    // Set by whoever owns the run (a table window that closes, the form going away): the run
    // stops before its next statement and puts nothing out. A graph window asks through its
    // sink's close request instead.
    const std::atomic<bool>* stop = nullptr;
};

// Runs one custom report to its end on the calling thread: the statements of its mode over a
// connection of its own, then the output of its type. Returns 0 as the thread's exit code; the
// outcome is in the outputs (and `ok` below).
int GeneralReportThread(const CustomReportRequest& request, const CustomReportOutputs& outputs, bool* ok = nullptr);
