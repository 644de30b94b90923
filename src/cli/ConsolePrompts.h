#pragma once

#include "app/UserPrompts.h"

#include <ostream>

// The prompts of a program without a display: notices go to the output stream, errors and
// warnings to the error stream, and nothing is ever asked (questions answer No, dialogs Cancel).
class ConsolePrompts final : public UserPrompts {
public:
    ConsolePrompts(std::ostream& output, std::ostream& errors);

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askYesNo(const std::string& question, MessageIcon icon) override;
    CredentialsReply askCredentials(const std::string& title, const std::string& userName) override;
    std::optional<std::string> askOpenFileName(const std::string& title, const std::string& filter) override;
    std::optional<std::string> askSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& defaultName) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    void setWaitCursor(bool on) override;

private:
    std::ostream& m_output;
    std::ostream& m_errors;
};
