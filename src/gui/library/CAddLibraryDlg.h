#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

// The library address dialog of Start Monitoring and Drive Info: an editable list of the
// libraries already in the database, "**ALL**" first.
class CAddLibraryDlg : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        std::string entered;           // as typed or picked, not yet cleaned
        std::vector<std::string> list; // what the list offered
    };

    // Why the cleaned entry cannot be taken, or nothing when it can.
    using EntryCheck = std::function<std::string(const std::string& address)>;

    // Nothing when the list cannot be read or the user cancels. With a check, OK on an entry
    // the check refuses shows why and keeps the dialog open.
    static std::optional<Choice> ask(QWidget* parent, EntryCheck check = {});

    void accept() override;

private:
    CAddLibraryDlg(const std::vector<std::string>& addresses, EntryCheck check, QWidget* parent);

    QComboBox* m_addresses;
    EntryCheck m_check;
};
