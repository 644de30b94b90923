#include "CTableSetupPage.h"

#include "FieldFocus.h"

#include "db/SetupTests.h"
#include "db/Tables.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CTableSetupPage::CTableSetupPage(const SetupChoice& initial, QWidget* parent)
    : QWidget(parent), m_tableName(new QLineEdit(QString::fromStdString(initial.mountHistoryTableName))),
      m_unitedStates(new QRadioButton(QStringLiteral("United States"))), m_iso(new QRadioButton(QStringLiteral("ISO"))),
      m_europe(new QRadioButton(QStringLiteral("Europe")))
{
    setObjectName(QStringLiteral("CTableSetupPage"));
    m_tableName->setObjectName(QStringLiteral("TableName"));
    m_unitedStates->setObjectName(QStringLiteral("UnitedStates"));
    m_iso->setObjectName(QStringLiteral("Iso"));
    m_europe->setObjectName(QStringLiteral("Europe"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Table Name"), m_tableName);
    auto* dateBox = new QGroupBox(QStringLiteral("Date Format"));
    auto* dateLayout = new QVBoxLayout(dateBox);
    dateLayout->addWidget(m_unitedStates);
    dateLayout->addWidget(m_iso);
    dateLayout->addWidget(m_europe);
    auto* create = new QPushButton(QStringLiteral("Create"));
    auto* remove = new QPushButton(QStringLiteral("Delete"));
    create->setObjectName(QStringLiteral("Create"));
    remove->setObjectName(QStringLiteral("Delete"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(create);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(dateBox);
    layout->addLayout(buttons);
    layout->addStretch(1);
    connect(create, &QPushButton::clicked, this, &CTableSetupPage::createTables);
    connect(remove, &QPushButton::clicked, this, &CTableSetupPage::deleteTables);

    switch (initial.dateFormat) {
    case DateFormatChoice::Iso:
        m_iso->setChecked(true);
        break;
    case DateFormatChoice::Europe:
        m_europe->setChecked(true);
        break;
    case DateFormatChoice::UnitedStates:
        m_unitedStates->setChecked(true);
        break;
    case DateFormatChoice::None:
        break;
    }
}

void CTableSetupPage::focusTableName()
{
    focusAndSelect(m_tableName);
}

void CTableSetupPage::fillChoice(SetupChoice& choice) const
{
    choice.mountHistoryTableName = m_tableName->text().toStdString();
    choice.dateFormat = m_unitedStates->isChecked() ? DateFormatChoice::UnitedStates
                        : m_iso->isChecked()        ? DateFormatChoice::Iso
                        : m_europe->isChecked()     ? DateFormatChoice::Europe
                                                    : DateFormatChoice::None;
}

Dialect CTableSetupPage::chosenDialect() const
{
    return m_databaseType ? Dialect(m_databaseType()) : Dialect::current();
}

void CTableSetupPage::test()
{
    runTableTest(m_tableName->text().toStdString(), this, chosenDialect());
}

void CTableSetupPage::createTables()
{
    runCreateTableCommand(m_tableName->text().toStdString(), chosenDialect());
}

void CTableSetupPage::deleteTables()
{
    runDeleteTableCommand(m_tableName->text().toStdString(), this);
}
