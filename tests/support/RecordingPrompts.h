#pragma once

#include "app/UserPrompts.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

// Answers dialogs from scripted replies and keeps every text shown. When a script runs out,
// questions answer No and dialogs Cancel, so a command under test always ends.
class RecordingPrompts final : public UserPrompts {
public:
    struct Shown {
        std::string text;
        MessageIcon icon;
    };

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askYesNo(const std::string& question, MessageIcon icon) override;
    bool askYesNoCaptioned(const std::string& caption, const std::string& question, MessageIcon icon) override;
    CredentialsReply askCredentials(const std::string& title, const std::string& userName) override;
    std::optional<std::string> askOpenFileName(const std::string& title, const std::string& filter) override;
    std::optional<std::string> askSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& defaultName) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    void setWaitCursor(bool on) override;

    std::deque<bool> yesNoReplies;
    std::deque<CredentialsReply> credentialReplies;
    std::deque<std::optional<std::string>> fileReplies;
    std::deque<std::optional<std::string>> textReplies;

    std::vector<Shown> messages() const;
    std::vector<std::string> messageTexts() const;
    std::vector<std::string> questions() const;
    std::vector<std::string> dialogTitles() const;
    // The captions of the questions asked with one, in order.
    std::vector<std::string> questionCaptions() const;
    int waitCursorDepth() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Shown> m_messages;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_titles;
    std::vector<std::string> m_captions;
    int m_waitDepth = 0;
};
