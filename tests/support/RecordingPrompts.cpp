#include "RecordingPrompts.h"

void RecordingPrompts::showMessage(const std::string& text, MessageIcon icon)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back({text, icon});
}

bool RecordingPrompts::askYesNo(const std::string& question, MessageIcon)
{
    std::lock_guard lock(m_mutex);
    m_questions.push_back(question);
    if (yesNoReplies.empty())
        return false;
    bool reply = yesNoReplies.front();
    yesNoReplies.pop_front();
    return reply;
}

bool RecordingPrompts::askYesNoCaptioned(const std::string& caption, const std::string& question, MessageIcon icon)
{
    {
        std::lock_guard lock(m_mutex);
        m_captions.push_back(caption);
    }
    return askYesNo(question, icon);
}

std::vector<std::string> RecordingPrompts::questionCaptions() const
{
    std::lock_guard lock(m_mutex);
    return m_captions;
}

CredentialsReply RecordingPrompts::askCredentials(const std::string& title, const std::string&)
{
    std::lock_guard lock(m_mutex);
    m_titles.push_back(title);
    if (credentialReplies.empty())
        return {};
    CredentialsReply reply = credentialReplies.front();
    credentialReplies.pop_front();
    return reply;
}

std::optional<std::string> RecordingPrompts::askOpenFileName(const std::string& title, const std::string&)
{
    std::lock_guard lock(m_mutex);
    m_titles.push_back(title);
    if (fileReplies.empty())
        return std::nullopt;
    auto reply = fileReplies.front();
    fileReplies.pop_front();
    return reply;
}

std::optional<std::string> RecordingPrompts::askSaveFileName(const std::string& title, const std::string& filter,
                                                             const std::string&)
{
    return askOpenFileName(title, filter);
}

std::optional<std::string> RecordingPrompts::askText(const std::string& title, const std::string&, const std::string&)
{
    std::lock_guard lock(m_mutex);
    m_titles.push_back(title);
    if (textReplies.empty())
        return std::nullopt;
    auto reply = textReplies.front();
    textReplies.pop_front();
    return reply;
}

void RecordingPrompts::setWaitCursor(bool on)
{
    std::lock_guard lock(m_mutex);
    m_waitDepth += on ? 1 : -1;
}

std::vector<RecordingPrompts::Shown> RecordingPrompts::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<std::string> RecordingPrompts::messageTexts() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> texts;
    for (const auto& shown : m_messages)
        texts.push_back(shown.text);
    return texts;
}

std::vector<std::string> RecordingPrompts::questions() const
{
    std::lock_guard lock(m_mutex);
    return m_questions;
}

std::vector<std::string> RecordingPrompts::dialogTitles() const
{
    std::lock_guard lock(m_mutex);
    return m_titles;
}

int RecordingPrompts::waitCursorDepth() const
{
    std::lock_guard lock(m_mutex);
    return m_waitDepth;
}
