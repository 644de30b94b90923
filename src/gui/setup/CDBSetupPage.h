#pragma once

#include "app/Startup.h"
#include "db/DiagnosticsWindow.h"

#include <QWidget>

class QLineEdit;
class QRadioButton;

// The "Database" page: data source name, address, port and database type.
class CDBSetupPage : public QWidget, public DiagnosticsWindow {
    Q_OBJECT
public:
    explicit CDBSetupPage(const SetupChoice& initial, QWidget* parent = nullptr);

    Kind windowKind() const override { return Kind::DatabaseSetupPage; }
    void focusDatabaseName() override;
    void focusIpAddress() override;

    void fillChoice(SetupChoice& choice) const;
    QString databaseName() const;
    // 1 while "Oracle" is chosen, 2 while "Derby / Nimbus" is, the stored type while neither is.
    int chosenDatabaseType() const;
    void test();

private:
    void chooseOracle(bool oracle);

    QLineEdit* m_databaseName;
    QLineEdit* m_ipAddress;
    QLineEdit* m_ipPort;
    QRadioButton* m_oracle;
    QRadioButton* m_derby;
    QString m_keptAddress;
    QString m_keptPort;
    int m_storedType = 0;
};
