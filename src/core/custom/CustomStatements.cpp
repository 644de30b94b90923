#include "CustomStatements.h"

#include "CustomItems.h"
#include "CustomTexts.h"
#include "db/Dialect.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <cctype>

namespace {
using namespace custom_texts;

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool contains(const std::string& text, const char* part)
{
    return upper(text).find(part) != std::string::npos;
}

bool startsWith(const std::string& text, const char* part)
{
    return upper(text).rfind(part, 0) == 0;
}

// The mount history column of a field and its label base and flags.
void deriveMountHistoryColumn(CustomReportPlan& plan)
{
    const std::string& field = plan.field;
    if (contains(field, "LIFE")) {
        plan.column = field;
        plan.labelBase = field.substr(0, field.size() >= 6 ? field.size() - 6 : 0);
        plan.countField = true;
    } else if (startsWith(field, "WRITE_RETRIES") || startsWith(field, "WRITE_PERMS")
               || startsWith(field, "READ_RETRIES") || startsWith(field, "READ_PERMS")) {
        plan.column = formatReportText(LifeColumn, {field});
        plan.labelBase = field.substr(0, field.size() >= 6 ? field.size() - 6 : 0);
        plan.lifetimeField = true;
    } else {
        plan.column = formatReportText(MountColumn, {withoutParenthesis(field)});
        plan.labelBase = field;
    }
}

std::string valueLabel(const CustomReportPlan& plan, const CustomReportRequest& request)
{
    const std::string rateName = withoutParenthesis(request.rateText);
    if (plan.mode == CustomReportMode::Trend) {
        const std::string field = withoutParenthesis(plan.field);
        if (plan.rate)
            return formatReportText(RateLabel, {field, rateName});
        return formatReportText(UnitLabel, {field, customUnitOf(plan.field)});
    }
    const std::string base = withoutParenthesis(plan.labelBase);
    if (plan.countField && !plan.rate)
        return MountsLabel;
    if (plan.rate)
        return formatReportText(RateLabel, {base, rateName});
    if (plan.starred)
        return formatReportText(UnitLabel, {plan.labelBase, StarredUnit});
    if (plan.mode == CustomReportMode::TapeAlert)
        return request.tapeAlertCodes.size() == 1 ? formatReportText(OneCodeLabel, {request.tapeAlertCodes.front()})
                                                  : std::string(CodesLabel);
    return formatReportText(UnitLabel, {base, customUnitOf(plan.labelBase)});
}

// " on Frame:1 Drive:2", " on A00001" or " on logical library LL1" (without the blank when
// several TapeAlert codes are reported on one item).
std::string itemSubtitle(const std::string& item, bool logicalLibrary, bool leadingBlank)
{
    if (logicalLibrary)
        return formatReportText(LibrarySubtitle, {item});
    if (isDriveItem(item)) {
        const DriveItem drive = parseDriveItem(item);
        return formatReportText(leadingBlank ? DriveSubtitle : CodesDriveSubtitle, {drive.frame, drive.drive});
    }
    return formatReportText(leadingBlank ? VolserSubtitle : CodesVolserSubtitle, {item});
}

class StatementBuilder {
public:
    StatementBuilder(const CustomReportPlan& plan, const std::string& prefix, bool mountHistory)
        : m_plan(plan), m_prefix(prefix), m_mountHistory(mountHistory)
    {
    }

    // The condition of a logical library item; "**ALL**" of a mount history field is every row.
    std::string libraryCondition(const std::string& item, bool trend) const
    {
        if (item != AllLogicalLibraries || !m_mountHistory)
            return formatReportText(LogicalLibraryCondition, {escapeQuotes(item)});
        return trend ? AllTrendCondition : AllRollupCondition;
    }

    std::string trend(const std::string& item) const
    {
        const CustomReportPlan& p = m_plan;
        const std::string& C = p.column;
        const std::string& D = p.divisorColumn;
        const std::string& DE = p.dateExpression;
        const std::string& TE = p.timeExpression;
        const std::string& T = p.table;
        const std::string& O = p.orderClause;
        if (p.logicalLibraryRows) {
            const std::string condition = libraryCondition(item, true);
            if (!p.rate)
                return formatReportText(TrendLibrary, {C, DE, TE, T, m_prefix, condition, O});
            return formatReportText(p.countField ? TrendLibraryRateCount : TrendLibraryRate,
                                    {C, D, DE, TE, T, m_prefix, condition, O});
        }
        if (isDriveItem(item)) {
            const DriveItem drive = parseDriveItem(item);
            if (!p.rate)
                return formatReportText(TrendDrive, {C, DE, TE, T, m_prefix, drive.frame, drive.drive, O});
            return formatReportText(p.countField ? TrendDriveRateCount : TrendDriveRate,
                                    {C, D, DE, TE, T, m_prefix, drive.frame, drive.drive, O});
        }
        const std::string volser = escapeQuotes(item);
        if (p.rate)
            return formatReportText(TrendVolserRate, {C, D, DE, TE, T, m_prefix, volser, O});
        return formatReportText(p.countField || p.lifetimeField ? TrendVolserCount : TrendVolser,
                                {C, DE, TE, T, m_prefix, volser, O});
    }

    CustomStatement rollup(const std::string& item) const
    {
        const CustomReportPlan& p = m_plan;
        const std::string& C = p.column;
        const std::string& D = p.divisorColumn;
        const std::string& T = p.table;
        const std::string& O = p.orderClause;
        CustomStatement statement;
        statement.item = item;
        statement.firstLabel = itemShortName(item);
        statement.averaged = p.starred && !p.rate;
        // A starred field (a rating) is summed with its row count beside it: its rollup is the
        // average rating, as the graph's "AVG" title says, not a sum past the scale's 255.
        const auto totals = [&](const char* templateText, const std::vector<std::string>& slots) {
            std::string sql = formatReportText(templateText, slots);
            if (statement.averaged) {
                const std::string sum = "SUM(" + C + ")";
                sql.replace(sql.find(sum), sum.size(), sum + ", COUNT(" + C + ")");
            }
            return sql;
        };
        if (p.logicalLibraryRows) {
            const std::string condition = libraryCondition(item, false);
            if (p.countField && p.rate) {
                statement.rows = CustomRowsKind::RawRows;
                statement.sql = formatReportText(RollupLibraryCountRate, {C, D, T, m_prefix, condition, O});
            } else if (p.rate) {
                statement.sql = formatReportText(RollupLibraryRate, {C, D, T, m_prefix, condition});
            } else {
                statement.sql = totals(RollupLibrary, {C, T, m_prefix, condition});
            }
        } else if (isDriveItem(item)) {
            const DriveItem drive = parseDriveItem(item);
            if (p.countField) {
                statement.rows = CustomRowsKind::RawRows;
                statement.sql =
                    p.rate ? formatReportText(RollupDriveCountRate, {C, D, T, m_prefix, drive.frame, drive.drive, O})
                           : formatReportText(RollupDriveCount, {C, T, m_prefix, drive.frame, drive.drive, O});
            } else if (p.rate) {
                statement.sql = formatReportText(RollupDriveRate, {C, D, T, m_prefix, drive.frame, drive.drive});
            } else {
                statement.sql = totals(RollupDrive, {C, T, m_prefix, drive.frame, drive.drive});
            }
        } else {
            const std::string volser = escapeQuotes(item);
            if (p.countField || p.lifetimeField) {
                statement.rows = CustomRowsKind::RawRows;
                const std::string& DE = p.dateExpression;
                const std::string& TE = p.timeExpression;
                statement.sql = p.rate ? formatReportText(RollupVolserCountRate, {C, D, T, m_prefix, volser, O})
                                       : formatReportText(RollupVolserCount, {C, DE, TE, T, m_prefix, volser, O});
            } else if (p.rate) {
                statement.sql = formatReportText(RollupVolserRate, {C, D, T, m_prefix, volser});
            } else {
                statement.sql = totals(RollupVolser, {C, T, m_prefix, volser});
            }
        }
        return statement;
    }

    CustomStatement oneCode(const std::string& item, const std::string& code) const
    {
        const CustomReportPlan& p = m_plan;
        CustomStatement statement;
        statement.item = item;
        statement.firstLabel = itemShortName(item);
        statement.rows = CustomRowsKind::RawRows;
        if (isDriveItem(item)) {
            const DriveItem drive = parseDriveItem(item);
            statement.sql = formatReportText(
                TapeAlertDrive, {p.column, p.table, m_prefix, code, drive.frame, drive.drive, p.orderClause});
        } else {
            statement.sql = formatReportText(TapeAlertVolser,
                                             {p.column, p.table, m_prefix, code, escapeQuotes(item), p.orderClause});
        }
        return statement;
    }

private:
    const CustomReportPlan& m_plan;
    const std::string& m_prefix;
    const bool m_mountHistory;
};
} // namespace

std::string customFieldOf(const std::string& dataType)
{
    const std::size_t colon = dataType.find(':');
    std::string field = colon == std::string::npos ? dataType : dataType.substr(colon + 1);
    if (!field.empty() && field.front() == ' ')
        field.erase(0, 1);
    const std::size_t blank = field.find(' ');
    return upper(field.substr(0, blank)) + (blank == std::string::npos ? "" : field.substr(blank));
}

std::string withoutParenthesis(const std::string& text)
{
    const std::size_t open = text.find('(');
    if (open == std::string::npos)
        return text;
    const std::size_t blank = open == 0 ? std::string::npos : text.rfind(' ', open - 1);
    return blank == std::string::npos ? text.substr(0, open) : text.substr(0, blank);
}

std::string customUnitOf(const std::string& text)
{
    if (contains(text, "HOST"))
        return "(MBs)";
    if (contains(text, "DRIVE_RESIDENCY"))
        return "(min)";
    if (contains(text, "MAX") || contains(text, "AVG"))
        return "(sec)";
    for (const char* name : {"MOUNTS", "EJECTS", "INSERTS", "PERMS", "RETRIES"})
        if (contains(text, name))
            return "(count)";
    return {};
}

CustomReportPlan planCustomReport(const CustomReportRequest& request)
{
    CustomReportPlan plan;
    const Dialect dialect(request.databaseType);
    const bool mountHistory = request.tableKind == CustomTableKind::MountHistory;
    plan.field = customFieldOf(request.dataType);
    plan.table = mountHistory ? request.mountHistoryTable : request.libraryPerformanceTable;
    plan.starred = request.starred;
    plan.dateExpression = dialect.isOracle() ? OracleDateExpression : DateExpression;
    plan.timeExpression = dialect.isOracle() ? OracleTimeExpression : TimeExpression;
    plan.orderClause = dialect.isOracle() ? OracleOrder : Order;
    plan.logicalLibraryRows = !mountHistory || request.dataType.find("Library") != std::string::npos;
    if (mountHistory) {
        deriveMountHistoryColumn(plan);
    } else {
        plan.column = plan.field;
        plan.labelBase = plan.field;
    }
    if (request.rate && contains(plan.field, "HOST")) {
        plan.rate = true;
        if (request.rateText.find(PerSecondMark) != std::string::npos) {
            plan.divisorColumn = ResidencyColumn;
            plan.perSecond = true;
        } else {
            plan.divisorColumn = MountsColumn;
            plan.countField = true;
        }
    }
    plan.mode = request.tapeAlert ? CustomReportMode::TapeAlert
                : request.rollup  ? CustomReportMode::Rollup
                                  : CustomReportMode::Trend;
    if (plan.mode == CustomReportMode::TapeAlert) {
        plan.column = TapeAlertColumn;
        plan.rate = false;
        plan.countField = false;
        plan.lifetimeField = false;
        plan.divisorColumn.clear();
    }
    plan.valueLabel = valueLabel(plan, request);

    const StatementBuilder builder(plan, request.conditionPrefix, mountHistory);
    const std::string& list = request.commaList.empty() ? request.selection : request.commaList;
    const std::vector<std::string> items = splitItems(list);
    switch (plan.mode) {
    case CustomReportMode::Trend:
        if (!items.empty()) {
            CustomStatement statement;
            statement.item = items.front();
            statement.rows = CustomRowsKind::RawRows;
            statement.sql = builder.trend(items.front());
            plan.statements.push_back(std::move(statement));
            plan.subtitle = itemSubtitle(items.front(), plan.logicalLibraryRows, true);
        }
        break;
    case CustomReportMode::Rollup:
        for (const std::string& item : items)
            plan.statements.push_back(builder.rollup(item));
        plan.subtitle = request.sinceText;
        break;
    case CustomReportMode::TapeAlert:
        if (request.tapeAlertCodes.size() == 1) {
            const std::string code = std::to_string(tapeAlertNumber(request.tapeAlertCodes.front()));
            for (const std::string& item : items)
                plan.statements.push_back(builder.oneCode(item, code));
            plan.subtitle = items.size() == 1 ? itemSubtitle(items.front(), false, true) : request.sinceText;
        } else {
            plan.byCode = true;
            for (const std::string& entry : request.tapeAlertCodes) {
                CustomStatement statement;
                statement.item = entry;
                statement.firstLabel = entry.substr(0, 8);
                statement.secondLabel = entry.size() > 8 ? entry.substr(8, 8) : std::string();
                statement.rows = CustomRowsKind::RawRows;
                statement.sql = formatReportText(TapeAlertCodes,
                                                 {plan.column, plan.table, request.conditionPrefix, request.selection,
                                                  std::to_string(tapeAlertNumber(entry)), plan.orderClause});
                plan.statements.push_back(std::move(statement));
            }
            plan.subtitle =
                !request.rollup && items.size() == 1 ? itemSubtitle(items.front(), false, false) : request.sinceText;
        }
        break;
    }
    return plan;
}
