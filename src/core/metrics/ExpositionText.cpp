#include "ExpositionText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
// The length of the valid UTF-8 character at the start of text, or 0 when there is none.
std::size_t utf8CharacterLength(std::string_view text)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (text.size() < length)
        return 0;
    for (std::size_t at = 1; at < length; ++at)
        if ((byte(at) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) || (lead == 0xF0 && byte(1) < 0x90)
        || (lead == 0xF4 && byte(1) >= 0x90))
        return 0;
    return length;
}
} // namespace

void ExpositionText::family(std::string_view name, std::string_view type, std::string_view help)
{
    m_text.append("# HELP ").append(name).append(" ").append(escapeHelp(help)).append("\n");
    m_text.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

void ExpositionText::sample(std::string_view name, const MetricLabels& sampleLabels, double value)
{
    m_text.append(name);
    labels(sampleLabels);
    m_text.append(" ").append(formatValue(value)).append("\n");
}

void ExpositionText::histogram(std::string_view name, const MetricLabels& sampleLabels,
                               const std::vector<double>& bounds, const std::vector<unsigned long long>& counts,
                               double sum)
{
    const std::string bucket = std::string(name) + "_bucket";
    unsigned long long cumulated = 0;
    for (std::size_t at = 0; at <= bounds.size(); ++at) {
        cumulated += at < counts.size() ? counts[at] : 0;
        MetricLabels withBound = sampleLabels;
        withBound.emplace_back("le", at < bounds.size() ? formatValue(bounds[at]) : "+Inf");
        sample(bucket, withBound, static_cast<double>(cumulated));
    }
    sample(std::string(name) + "_sum", sampleLabels, sum);
    sample(std::string(name) + "_count", sampleLabels, static_cast<double>(cumulated));
}

void ExpositionText::labels(const MetricLabels& sampleLabels)
{
    if (sampleLabels.empty())
        return;
    m_text.append("{");
    bool first = true;
    for (const auto& [name, value] : sampleLabels) {
        if (!first)
            m_text.append(",");
        first = false;
        m_text.append(name).append("=\"").append(escapeLabelValue(value)).append("\"");
    }
    m_text.append("}");
}

std::string ExpositionText::escapeLabelValue(std::string_view value)
{
    std::string escaped;
    escaped.reserve(value.size());
    while (!value.empty()) {
        const std::size_t length = utf8CharacterLength(value);
        if (length == 0) {
            const auto latin1 = static_cast<unsigned char>(value.front());
            escaped += static_cast<char>(0xC0 | (latin1 >> 6));
            escaped += static_cast<char>(0x80 | (latin1 & 0x3F));
            value.remove_prefix(1);
            continue;
        }
        const char c = value.front();
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped.append(value.substr(0, length));
        value.remove_prefix(length);
    }
    return escaped;
}

std::string ExpositionText::escapeHelp(std::string_view help)
{
    std::string escaped;
    for (const char c : help) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

std::string ExpositionText::formatValue(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "+Inf" : "-Inf";
    char text[64];
    // Whole numbers up to 2^53 are exact in a double and are written without an exponent.
    if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        return std::string(text, std::to_chars(text, text + sizeof text, value).ptr); // shortest exact form
    return text;
}
