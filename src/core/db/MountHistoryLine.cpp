#include "MountHistoryLine.h"

#include "FieldText.h"
#include "Tables.h"

#include <utility>

namespace {
// The text up to the next two blanks; the rest keeps the second blank, as the stamp was
// always read.
std::string takePiece(std::string_view& rest)
{
    const std::size_t end = rest.find("  ");
    if (end == std::string_view::npos) {
        std::string piece(rest);
        rest = {};
        return piece;
    }
    std::string piece(rest.substr(0, end));
    rest.remove_prefix(end + 1);
    return piece;
}

std::string leadingDigits(const std::string& text)
{
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    return text.substr(0, end);
}
} // namespace

SplitTimestamp splitTimestamp(std::string_view timestamp)
{
    std::string_view rest = timestamp;
    const std::string year = takePiece(rest);
    const std::string month = takePiece(rest);
    const std::string day = takePiece(rest);
    SplitTimestamp result;
    result.date = removeBlanks(year + "-" + month + "-" + day);

    const std::size_t point = rest.find('.');
    const std::string hours = removeBlanks(rest.substr(0, point));
    const std::string minutes =
        point == std::string_view::npos ? std::string() : leadingDigits(removeBlanks(rest.substr(point + 1)));
    result.time = hours + ":" + minutes;
    return result;
}

MountHistoryLine MountHistoryLine::parse(std::string_view line)
{
    MountHistoryLine result;
    const std::vector<std::string_view> fields = splitFields(line);
    SplitTimestamp stamp = splitTimestamp(fields.front());
    result.date = std::move(stamp.date);
    result.time = std::move(stamp.time);
    result.validDate = validatedDate(result.date);
    result.validTime = validatedTime(result.time);
    result.values.reserve(fields.size() - 1);
    for (std::size_t index = 1; index < fields.size(); ++index) {
        if (isMissingValue(fields[index]))
            result.values.emplace_back(std::nullopt);
        else
            result.values.emplace_back(removeBlanks(fields[index]));
    }
    result.fieldCount = fields.size();
    return result;
}

const std::optional<std::string>& MountHistoryLine::field(std::size_t number) const
{
    static const std::optional<std::string> none;
    return number >= 2 && number - 2 < values.size() ? values[number - 2] : none;
}

bool MountHistoryLine::isTextField(std::size_t number)
{
    return number == VolserField || number == LogicalLibraryField;
}

std::string MountHistoryLine::problem() const
{
    if (std::string why = lineHeadProblem(fieldCount, FieldCount, date, validDate, time, validTime); !why.empty())
        return why;
    for (std::size_t number = 2; number <= fieldCount; ++number) {
        const auto& value = field(number);
        const auto range = fieldNumberRange(TableKind::MountHistory, number);
        if (!value || isTextField(number) || !range)
            continue;
        if (std::string why = numberFieldProblem(number, *value, range->low, range->high); !why.empty())
            return why;
    }
    return {};
}
