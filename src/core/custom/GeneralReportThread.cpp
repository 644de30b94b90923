#include "GeneralReportThread.h"

#include "CustomReportData.h"
#include "CustomStatements.h"
#include "CustomTexts.h"
#include "GraphSink.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "app/UserPrompts.h"
#include "db/CheckedStatement.h"
#include "db/qmxDB.h"
#include "query/QueryColumnCells.h"
#include "query/QueryResultSink.h"
#include "reports/ReportRequest.h"
#include "reports/ReportRunner.h"

#include <strings.h>

namespace {
using namespace custom_texts;

// Rows read between two looks at the stop requests.
constexpr std::size_t RowsBetweenStopChecks = 1024;

// The graph window waits for its report's end before it closes: the end is told on every way
// out of the run.
class GraphRun {
public:
    explicit GraphRun(GraphSink* graph) : m_graph(graph)
    {
        if (m_graph != nullptr)
            m_graph->reportStarted();
    }
    ~GraphRun()
    {
        if (m_graph != nullptr)
            m_graph->reportFinished();
    }
    GraphRun(const GraphRun&) = delete;
    GraphRun& operator=(const GraphRun&) = delete;

private:
    GraphSink* m_graph;
};

// The columns a statement's rows are read from, found by name where the name says it.
struct RowColumns {
    SQLSMALLINT count = 0;
    SQLSMALLINT date = 0;
    SQLSMALLINT time = 0;
};

RowColumns describeColumns(const CheckedStatement& statement)
{
    RowColumns columns;
    const std::vector<ResultColumn> described = statement.columns();
    columns.count = static_cast<SQLSMALLINT>(described.size());
    for (SQLSMALLINT column = 1; column <= columns.count; ++column) {
        // PostgreSQL names its columns in lower case, SQLite as the statement wrote them.
        const char* text = described[column - 1].name.c_str();
        if (columns.date == 0 && (strcasecmp(text, "DATE") == 0 || strcasecmp(text, "DATES") == 0))
            columns.date = column;
        else if (columns.time == 0 && strcasecmp(text, "TIME") == 0)
            columns.time = column;
    }
    return columns;
}

class CustomReportRun {
public:
    CustomReportRun(const CustomReportRequest& request, const CustomReportOutputs& outputs)
        : m_request(request), m_outputs(outputs), m_prompts(outputs.prompts != nullptr ? *outputs.prompts : m_silent),
          m_plan(planCustomReport(request)), m_values(m_plan, request.dateFormatCode)
    {
    }

    bool run()
    {
        const GraphRun graphRun(graphSink());
        ReportRequest connectionRequest;
        connectionRequest.dataSourceName = m_request.dataSourceName;
        connectionRequest.userName = m_request.userName;
        connectionRequest.password = m_request.password;
        const ReportConnection connection(connectionRequest);
        if (!connection.isOpen()) {
            WriteDebugLine(ConnectFailedLog);
            m_prompts.showMessage(ConnectFailed, MessageIcon::Exclamation);
            return false;
        }
        for (const CustomStatement& statement : m_plan.statements) {
            // A closing graph window waits for this run: it stops before the next statement.
            if (stopRequested())
                return false;
            if (!runStatement(connection.statement(), statement))
                return false;
        }
        return putOut();
    }

private:
    // The window is closing (a graph's close waits for this run) or the program is ending.
    bool stopRequested() const
    {
        return (graphSink() != nullptr && graphSink()->closeRequested())
               || (m_outputs.stop != nullptr && m_outputs.stop->load());
    }

    GraphSink* graphSink() const
    {
        const CustomReportType type = m_request.type;
        const bool graph = type == CustomReportType::LineGraph || type == CustomReportType::BarGraph;
        return graph ? m_outputs.graph : nullptr;
    }

    void reportFailure(SQLHSTMT statement)
    {
        const std::string message = m_db.reportDiagnostics(SQL_HANDLE_STMT, statement, Diagnostics::LogOnly);
        if (!message.empty())
            m_prompts.showMessage(message, MessageIcon::Stop);
    }

    bool runStatement(SQLHSTMT handle, const CustomStatement& step)
    {
        CheckedStatement statement(handle);
        if (!statement.prepare(step.sql, Success::WithInfo)) {
            WriteDebugLine(formatReportText(PrepareFailed, {step.sql}));
            reportFailure(handle);
            return false;
        }
        if (!statement.execute(Success::WithInfoOrNoData)) {
            WriteDebugLine(formatReportText(ExecuteFailed, {step.sql}));
            reportFailure(handle);
            WriteTraceLine(ExecuteFailedTrace);
            return false;
        }
        const RowColumns columns = describeColumns(statement);
        // The divisor of a rate, or the row count beside a starred field's total.
        const bool second = columns.count >= 2 && (m_plan.rate || step.averaged) && columns.date != 2;
        m_values.beginStatement(step);
        Fetched fetched = Fetched::Row;
        std::size_t rows = 0;
        while ((fetched = statement.fetch()) == Fetched::Row) {
            // A long trend is read in pieces: a stop is seen between them, not only after the
            // whole result.
            if (++rows % RowsBetweenStopChecks == 0 && stopRequested())
                return false;
            std::string cells[5];
            // Columns are read in ascending order, as every driver allows.
            for (SQLSMALLINT column = 1; column <= std::min<SQLSMALLINT>(columns.count, 4); ++column)
                cells[column] = statement.text(static_cast<SQLUSMALLINT>(column), 512).value_or("");
            m_values.addRow(cells[1], second ? cells[2] : std::string(), cells[columns.date <= 4 ? columns.date : 0],
                            cells[columns.time <= 4 ? columns.time : 0]);
        }
        if (fetched == Fetched::Failed) {
            // A driver that reads row by row finds a missing table only here: the statement is
            // logged as at the other steps.
            WriteDebugLine(step.sql);
            reportFailure(handle);
            WriteTraceLine(m_plan.mode == CustomReportMode::Trend ? FetchFailedTrend : FetchFailedRollup);
            return false;
        }
        m_values.endStatement();
        statement.close();
        return true;
    }

    bool putOut()
    {
        const CustomReportData& data = m_values.data();
        switch (m_request.type) {
        case CustomReportType::LineGraph:
        case CustomReportType::BarGraph:
            if (m_outputs.graph != nullptr)
                m_outputs.graph->SetReportData(GraphData{m_request.ipAddress, customGraphTitle(m_plan, m_request),
                                                         data.values, data.firstLabels, data.secondLabels});
            return true;
        case CustomReportType::Table:
            fillTable(data);
            return true;
        case CustomReportType::CsvExport: {
            const int error = writeCustomCsv(m_request.exportPath, customCsvText(m_plan, data));
            if (error != 0) {
                const std::string message = std::string(ExportOpenFailed) + FormatSystemError(error);
                WriteDebugLine(message + m_request.exportPath);
                m_prompts.showMessage(message, MessageIcon::Exclamation);
                return false;
            }
            return true;
        }
        case CustomReportType::LastInstance:
            // A rollup has no newest row to tell: it is shown as its table where there is one.
            if (m_plan.mode != CustomReportMode::Trend && m_outputs.table != nullptr) {
                fillTable(data);
                return true;
            }
            m_prompts.showMessage(customLastInstanceText(m_plan, m_request, data), MessageIcon::Information);
            return true;
        }
        return true;
    }

    void fillTable(const CustomReportData& data)
    {
        QueryResultSink* table = m_outputs.table;
        if (table == nullptr)
            return;
        table->beginUpdate();
        const std::vector<std::string> titles = customTableColumns(m_plan);
        for (const std::string& title : titles)
            table->addColumn(title);
        table->addNumericColumn(0);
        table->addNumericColumn(static_cast<int>(titles.size()) - 1);
        // A trend's dates and times sort by their value, in the settings' date format.
        if (!customTableByItem(m_plan)) {
            table->setColumnKind(1, QueryColumnKind::Date, m_request.dateFormatCode);
            table->setColumnKind(2, QueryColumnKind::Time, 0);
        }
        table->addRows(customTableRows(m_plan, data));
        table->sizeColumns();
        table->endUpdate();
        table->restoreButtons();
    }

    const CustomReportRequest& m_request;
    const CustomReportOutputs& m_outputs;
    SilentPrompts m_silent;
    UserPrompts& m_prompts;
    const qmxDB m_db{};
    const CustomReportPlan m_plan;
    CustomReportValues m_values;
};
} // namespace

int GeneralReportThread(const CustomReportRequest& request, const CustomReportOutputs& outputs, bool* ok)
{
    // The request is the worker's own copy: the form may fill the next one meanwhile.
    const CustomReportRequest copy = request; // NOLINT(performance-unnecessary-copy-initialization)
    CustomReportRun run(copy, outputs);
    const bool done = run.run();
    if (ok != nullptr)
        *ok = done;
    return 0;
}
