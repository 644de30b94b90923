#pragma once

#include <QDialog>

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

    // Nothing when the list cannot be read or the user cancels.
    static std::optional<Choice> ask(QWidget* parent);

private:
    CAddLibraryDlg(const std::vector<std::string>& addresses, QWidget* parent);

    QComboBox* m_addresses;
};
