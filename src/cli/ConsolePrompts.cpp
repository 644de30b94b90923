#include "ConsolePrompts.h"

namespace {
// A message box's text as one or more whole lines.
void writeLines(std::ostream& stream, const std::string& text)
{
    stream << text;
    if (text.empty() || text.back() != '\n')
        stream << '\n';
    stream.flush();
}
} // namespace

ConsolePrompts::ConsolePrompts(std::ostream& output, std::ostream& errors) : m_output(output), m_errors(errors)
{
}

void ConsolePrompts::showMessage(const std::string& text, MessageIcon icon)
{
    writeLines(icon == MessageIcon::Information ? m_output : m_errors, text);
}

bool ConsolePrompts::askYesNo(const std::string& question, MessageIcon)
{
    writeLines(m_errors, question + " (answered No: nobody to ask)");
    return false;
}

CredentialsReply ConsolePrompts::askCredentials(const std::string& title, const std::string&)
{
    writeLines(m_errors, title + ": cancelled, nobody to ask for a password");
    return {};
}

std::optional<std::string> ConsolePrompts::askOpenFileName(const std::string&, const std::string&)
{
    return {};
}

std::optional<std::string> ConsolePrompts::askSaveFileName(const std::string&, const std::string&, const std::string&)
{
    return {};
}

std::optional<std::string> ConsolePrompts::askText(const std::string&, const std::string&, const std::string&)
{
    return {};
}

void ConsolePrompts::setWaitCursor(bool)
{
}
