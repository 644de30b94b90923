#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Label names and values of one sample; the values are text from outside (a library's name
// as the user typed it) and are escaped when written.
using MetricLabels = std::vector<std::pair<std::string_view, std::string>>;

// The Prometheus text exposition format, version 0.0.4: each family's HELP and TYPE lines
// followed by its samples. The caller keeps a family's samples together, after its header.
class ExpositionText {
public:
    // type: "counter", "gauge", "histogram" or "summary".
    void family(std::string_view name, std::string_view type, std::string_view help);
    void sample(std::string_view name, const MetricLabels& labels, double value);
    // The _bucket, _sum and _count samples of a histogram; bounds in ascending order,
    // counts not cumulated (one per bound, then the count above the last bound).
    void histogram(std::string_view name, const MetricLabels& labels, const std::vector<double>& bounds,
                   const std::vector<unsigned long long>& counts, double sum);

    const std::string& text() const { return m_text; }

    // A label value as the format wants it: valid UTF-8 (a byte that does not start or
    // continue a UTF-8 character is taken as Latin-1), backslash, double quote and line feed
    // escaped.
    static std::string escapeLabelValue(std::string_view value);
    // HELP text: backslash and line feed escaped.
    static std::string escapeHelp(std::string_view help);
    // A sample value: whole numbers without a fraction, "+Inf", "-Inf", "NaN".
    static std::string formatValue(double value);

private:
    void labels(const MetricLabels& labels);

    std::string m_text;
};
