#include "TimeFormat.h"

#include <clocale>
#include <locale.h>

namespace {
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
} // namespace

std::string formatTime(const char* pattern, const std::tm& when)
{
    std::string out(64, '\0');
    for (;;) {
        std::size_t written = strftime_l(out.data(), out.size(), pattern, &when, cLocale());
        if (written > 0 || out.size() > 4096) {
            out.resize(written);
            return out;
        }
        out.resize(out.size() * 4);
    }
}

std::string formatLocalTime(const char* pattern, std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    return formatTime(pattern, local);
}
