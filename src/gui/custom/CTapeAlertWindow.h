#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

// The TapeAlert selection: the 42 TapeAlert entries, several may be chosen; Submit ends the
// dialog with the Submit button's id once at least one is chosen.
class CTapeAlertWindow : public QDialog {
    Q_OBJECT
public:
    explicit CTapeAlertWindow(QWidget* parent = nullptr);

    // The chosen entries in list order (after Submit).
    const std::vector<std::string>& selection() const { return m_selection; }
    // Several codes were chosen.
    bool severalCodes() const { return m_selection.size() > 1; }
    QListWidget* list() const { return m_list; }

    // Shows the dialog; the chosen entries, or nothing when it was closed without Submit.
    static std::optional<std::vector<std::string>> choose(QWidget* parent);

public slots:
    void submit();

private:
    QListWidget* m_list;
    std::vector<std::string> m_selection;
};
