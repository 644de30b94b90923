#include "QueryExport.h"

#include "QueryListData.h"
#include "QueryTexts.h"
#include "app/CQmxApp.h"
#include "app/SystemError.h"
#include "app/UserPrompts.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <strings.h>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool writeText(std::FILE* file, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}
} // namespace

std::string csvField(std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(value);
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

int writeQueryExport(const std::string& path, const QueryListData& list)
{
    errno = 0;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return errno != 0 ? errno : EIO;
    const std::vector<int> columns = list.visibleColumns();
    std::string line;
    const auto endLine = [&] {
        line += "\r\n";
        const bool written = writeText(file.get(), line);
        line.clear();
        return written;
    };
    for (int column : columns)
        line += (line.empty() ? "" : ",") + csvField(list.column(column).title);
    if (!endLine())
        return errno != 0 ? errno : EIO;
    for (int row = 0; row < list.rowCount(); ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                line += ',';
            line += csvField(list.cell(row, columns[i]));
        }
        if (!endLine())
            return errno != 0 ? errno : EIO;
    }
    if (std::fflush(file.get()) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

ExportSource exportSourceFor(const std::string& activeTitle)
{
    if (strcasecmp(activeTitle.c_str(), query_texts::WindowTitle) == 0)
        return ExportSource::QueryWindow;
    if (activeTitle.size() > 1 && activeTitle.find("Table", 1) != std::string::npos)
        return ExportSource::TableWindow;
    return ExportSource::None;
}

std::string withDefaultExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find('.') != std::string::npos)
        return path;
    return path + query_texts::ExportDefaultExtension;
}

bool ExportData(const std::string& activeTitle, const QueryListData* list)
{
    UserPrompts& prompts = theApp().prompts();
    if (exportSourceFor(activeTitle) == ExportSource::None || list == nullptr) {
        prompts.showMessage(query_texts::ExportOnlyForQueryWindows, MessageIcon::Stop);
        return false;
    }
    const auto chosen =
        prompts.askSaveFileName(query_texts::ExportDialogTitle, dialogFilter(query_texts::ExportFilter), "");
    if (!chosen)
        return false;
    // The file dialog asked about the name that was chosen; a name that got ".csv" only now
    // is asked about here, before anything is overwritten.
    const std::string path = withDefaultExtension(*chosen);
    std::error_code ignored;
    if (path != *chosen && std::filesystem::exists(path, ignored)
        && !prompts.askYesNo(fillTemplate(query_texts::ExportReplaceQuestion, {path})))
        return false;
    const int error = writeQueryExport(path, *list);
    if (error != 0) {
        prompts.showMessage(std::string(query_texts::ExportOpenFailed) + FormatSystemError(error),
                            MessageIcon::Exclamation);
        return false;
    }
    return true;
}
