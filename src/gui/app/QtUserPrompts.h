#pragma once

#include "app/UserPrompts.h"

class QWidget;

// The prompts as modal Qt dialogs. Callable from any thread: a worker's call runs on the UI
// thread and the worker waits for the answer.
class QtUserPrompts final : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget* parent) { m_parent = parent; }

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

private:
    QWidget* m_parent;
};

// The title of every message box.
inline constexpr const char* ApplicationTitle = "Kestrix Vaultline";
