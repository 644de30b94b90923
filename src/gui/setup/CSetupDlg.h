#pragma once

#include "app/Startup.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QTabWidget;

// The "Setup" sheet: the "Database" and "Table" pages.
class CSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSetupDlg(const SetupChoice& initial, QWidget* parent = nullptr);

    SetupChoice choice() const;

    // Shows the sheet modally; nothing on Cancel.
    static std::optional<SetupChoice> ask(const SetupChoice& initial, QWidget* parent);

private:
    void chooseOracle(bool oracle);

    QTabWidget* m_pages;
    QLineEdit* m_databaseName;
    QLineEdit* m_ipAddress;
    QLineEdit* m_ipPort;
    QRadioButton* m_oracle;
    QRadioButton* m_derby;
    QLineEdit* m_tableName;
    QRadioButton* m_unitedStates;
    QRadioButton* m_iso;
    QRadioButton* m_europe;
    QString m_keptAddress;
    QString m_keptPort;
};
