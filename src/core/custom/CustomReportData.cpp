#include "CustomReportData.h"

#include "CustomTexts.h"
#include "query/QueryExport.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

using namespace custom_texts;

long long customValueOf(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])) != 0)
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    long long value = 0;
    constexpr long long limit = std::numeric_limits<long long>::max() / 10 - 9;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) != 0; ++pos)
        if (value < limit)
            value = value * 10 + (text[pos] - '0');
    return negative ? -value : value;
}

std::uint32_t customValue(long long value)
{
    if (value <= 0)
        return 0;
    if (value > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}

long long perSecondValue(long long value, long long minutes)
{
    if (minutes <= 0)
        return value;
    return static_cast<long long>(std::ceil(static_cast<double>(value) / (static_cast<double>(minutes) * 60.0)));
}

std::string customRowDate(const std::string& sqlDate, int dateFormatCode)
{
    if (sqlDate.size() < 10 || sqlDate[4] != '-' || sqlDate[7] != '-')
        return sqlDate;
    const std::string year = sqlDate.substr(2, 2);
    const std::string month = sqlDate.substr(5, 2);
    const std::string day = sqlDate.substr(8, 2);
    switch (dateFormatCode) {
    case 1:
        return formatReportText(ShownDate, {month, day, year});
    case 2:
        return formatReportText(ShownDate, {year, month, day});
    case 3:
        return formatReportText(ShownDate, {day, month, year});
    default:
        return sqlDate;
    }
}

void CustomReportValues::beginStatement(const CustomStatement& statement)
{
    m_statement = &statement;
    m_rows = 0;
    m_total = 0;
    m_divisorTotal = 0;
    m_haveBase = false;
    m_previous = 0;
}

void CustomReportValues::addRow(const std::string& value, const std::string& divisor, const std::string& date,
                                const std::string& time)
{
    const long long number = customValueOf(value);
    ++m_rows;
    if (m_plan.mode != CustomReportMode::Trend) {
        // Rollup and TapeAlert rows add up to one value per statement.
        if (m_plan.lifetimeField && m_plan.mode == CustomReportMode::Rollup
            && m_statement->rows == CustomRowsKind::RawRows) {
            // A counter that went down was reset (a new cartridge under the volser): no increase.
            if (m_haveBase && number > m_previous)
                m_total += number - m_previous;
            m_previous = number;
            m_haveBase = true;
            return;
        }
        m_total += number;
        m_divisorTotal += customValueOf(divisor);
        return;
    }
    long long point = number;
    if (m_plan.lifetimeField) {
        const bool first = !m_haveBase;
        point = number > m_previous ? number - m_previous : 0;
        m_previous = number;
        m_haveBase = true;
        if (first)
            return;
    } else if (m_plan.rate && m_plan.perSecond) {
        point = perSecondValue(number, customValueOf(divisor));
    }
    m_data.values.push_back(customValue(point));
    m_data.firstLabels.push_back(time);
    m_data.secondLabels.push_back(customRowDate(date, m_dateFormat));
}

void CustomReportValues::endStatement()
{
    if (m_statement == nullptr)
        return;
    const CustomStatement& statement = *m_statement;
    m_statement = nullptr;
    if (m_plan.mode == CustomReportMode::Trend) {
        m_data.lifetimeBaseOnly = m_plan.lifetimeField && m_rows == 1;
        return;
    }
    long long value = m_total;
    if (m_plan.mode == CustomReportMode::TapeAlert) {
        value = m_rows;
    } else if (statement.rows == CustomRowsKind::RawRows) {
        if (m_plan.lifetimeField)
            value = m_total;
        else if (m_plan.rate)
            value = m_rows > 0 ? m_total / m_rows : 0; // per mount
        else
            value = m_rows;
    } else if (statement.averaged) {
        value = m_divisorTotal > 0 ? m_total / m_divisorTotal : 0;
    } else if (m_plan.rate && m_plan.perSecond) {
        value = perSecondValue(m_total, m_divisorTotal);
    }
    m_data.values.push_back(customValue(value));
    m_data.firstLabels.push_back(statement.firstLabel);
    m_data.secondLabels.push_back(statement.secondLabel);
    m_data.items.push_back(m_plan.byCode ? statement.item : statement.firstLabel);
}

std::string customGraphTitle(const CustomReportPlan& plan, const CustomReportRequest& request)
{
    const bool average = plan.starred && request.rollup;
    return (average ? AverageTitle : "") + plan.valueLabel + plan.subtitle;
}

bool customTableByItem(const CustomReportPlan& plan)
{
    return plan.mode != CustomReportMode::Trend;
}

std::vector<std::string> customTableColumns(const CustomReportPlan& plan)
{
    if (!customTableByItem(plan))
        return {RowColumn, DateColumn, TimeColumn, plan.valueLabel};
    const char* item = plan.byCode ? TapeAlertItemColumn : plan.logicalLibraryRows ? LibraryItemColumn : ItemColumn;
    return {RowColumn, item, plan.valueLabel};
}

std::vector<std::vector<std::string>> customTableRows(const CustomReportPlan& plan, const CustomReportData& data)
{
    std::vector<std::vector<std::string>> rows;
    rows.reserve(data.values.size());
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        std::vector<std::string> row{std::to_string(i + 1)};
        if (customTableByItem(plan)) {
            row.push_back(data.items[i]);
        } else {
            row.push_back(data.secondLabels[i]);
            row.push_back(data.firstLabels[i]);
        }
        row.push_back(std::to_string(data.values[i]));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string customTableText(const std::vector<std::string>& titles, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths(titles.size(), 0);
    const auto measure = [&](const std::vector<std::string>& line) {
        for (std::size_t i = 0; i < line.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], line[i].size());
    };
    measure(titles);
    for (const auto& row : rows)
        measure(row);
    std::string text;
    const auto write = [&](const std::vector<std::string>& line) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < line.size() ? line[i] : std::string();
            text += cell;
            if (i + 1 < widths.size())
                text += std::string(widths[i] - cell.size() + 2, ' ');
        }
        text += "\n";
    };
    write(titles);
    for (const auto& row : rows)
        write(row);
    return text;
}

std::string customCsvText(const CustomReportPlan& plan, const CustomReportData& data)
{
    const std::string label = csvField(plan.valueLabel + plan.subtitle);
    std::string text;
    if (!customTableByItem(plan))
        text = formatReportText(CsvTrendHeader, {label, ""});
    else
        text = formatReportText(plan.byCode ? CsvCodesHeader : CsvRollupHeader, {label, ""});
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const std::string value = std::to_string(data.values[i]);
        if (customTableByItem(plan))
            text += csvField(data.items[i]) + "," + value + "\n";
        else
            text += csvField(data.secondLabels[i]) + "," + csvField(data.firstLabels[i]) + "," + value + "\n";
    }
    return text;
}

int writeCustomCsv(const std::string& path, const std::string& text)
{
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "w"));
    if (!file)
        return errno != 0 ? errno : EIO;
    if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() || std::fflush(file.get()) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

std::string customLastInstanceText(const CustomReportPlan& plan, const CustomReportRequest& request,
                                   const CustomReportData& data)
{
    if (data.values.empty())
        return formatReportText(data.lifetimeBaseOnly ? NoIncrease : NothingRecorded,
                                {plan.valueLabel, plan.subtitle, request.sinceText});
    // The newest point: the last in time order.
    return formatReportText(LastInstance, {plan.valueLabel, plan.subtitle, data.secondLabels.back(),
                                           data.firstLabels.back(), std::to_string(data.values.back())});
}
