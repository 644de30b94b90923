#pragma once

#include <optional>
#include <string>

enum class MessageIcon { Stop, Exclamation, Information };

enum class DialogResult { Ok, Cancel, Other };

struct CredentialsReply {
    DialogResult result = DialogResult::Cancel;
    std::string userName;
    std::string password;
};

// Every message box, question, file dialog and password dialog goes through this seam. The
// desktop program answers with modal dialogs (from any thread), tests with scripted replies.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual void showMessage(const std::string& text, MessageIcon icon) = 0;
    // Yes gives true. Questions carry the exclamation icon unless a caller says otherwise.
    virtual bool askYesNo(const std::string& question, MessageIcon icon = MessageIcon::Exclamation) = 0;
    // A question under a caption of its own rather than the application's title. Prompts
    // without captions ask it as a plain question.
    virtual bool askYesNoCaptioned(const std::string& caption, const std::string& question,
                                   MessageIcon icon = MessageIcon::Exclamation)
    {
        (void)caption;
        return askYesNo(question, icon);
    }
    // The user name and password dialog, titled by the operation it is for.
    virtual CredentialsReply askCredentials(const std::string& title, const std::string& userName) = 0;
    // File dialogs: the chosen path, or nothing when cancelled. Filters are "Text (*.txt)"-style.
    virtual std::optional<std::string> askOpenFileName(const std::string& title, const std::string& filter) = 0;
    virtual std::optional<std::string> askSaveFileName(const std::string& title, const std::string& filter,
                                                       const std::string& defaultName) = 0;
    // A line of text (for example a library name); nothing when cancelled.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& label,
                                               const std::string& initial) = 0;
    virtual void setWaitCursor(bool on) = 0;
};

// Shows the wait cursor for one scope.
class WaitCursor {
public:
    explicit WaitCursor(UserPrompts& prompts) : m_prompts(prompts) { m_prompts.setWaitCursor(true); }
    ~WaitCursor() { m_prompts.setWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserPrompts& m_prompts;
};

// Answers nothing and shows nothing: for headless programs that must never block on a dialog.
class SilentPrompts final : public UserPrompts {
public:
    void showMessage(const std::string&, MessageIcon) override {}
    bool askYesNo(const std::string&, MessageIcon) override { return false; }
    CredentialsReply askCredentials(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askSaveFileName(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    void setWaitCursor(bool) override {}
};
