#pragma once

#include "app/Startup.h"
#include "db/DiagnosticsWindow.h"
#include "db/Dialect.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QRadioButton;

// The "Table" page: the table base name, the date format, and Create and Delete.
class CTableSetupPage : public QWidget, public DiagnosticsWindow {
    Q_OBJECT
public:
    explicit CTableSetupPage(const SetupChoice& initial, QWidget* parent = nullptr);

    Kind windowKind() const override { return Kind::TableSetupPage; }
    void focusTableName() override;

    void fillChoice(SetupChoice& choice) const;
    // The database type chosen in the sheet, which decides the dialect of Create and Test.
    void setDatabaseTypeSource(std::function<int()> source) { m_databaseType = std::move(source); }
    void test();
    void createTables();
    void deleteTables();

private:
    Dialect chosenDialect() const;

    std::function<int()> m_databaseType;
    QLineEdit* m_tableName;
    QRadioButton* m_unitedStates;
    QRadioButton* m_iso;
    QRadioButton* m_europe;
};
