#pragma once

#include "app/Startup.h"

#include <QDialog>

class CDBSetupPage;
class CTableSetupPage;
class QTabWidget;

// The "Setup" sheet: the "Database" and "Table" pages, with OK, Test and Cancel in a column
// at its right side. Test tests the page that is showing.
class CSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSetupDlg(const SetupChoice& initial, QWidget* parent = nullptr);

    SetupChoice choice() const;
    CDBSetupPage* databasePage() const { return m_databasePage; }
    CTableSetupPage* tablePage() const { return m_tablePage; }
    QTabWidget* pages() const { return m_pages; }
    void test();

    // Shows the sheet modally; nothing on Cancel.
    static std::optional<SetupChoice> ask(const SetupChoice& initial, QWidget* parent);

private:
    QTabWidget* m_pages;
    CDBSetupPage* m_databasePage;
    CTableSetupPage* m_tablePage;
};
