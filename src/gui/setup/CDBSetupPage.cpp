#include "CDBSetupPage.h"

#include "FieldFocus.h"

#include "db/SetupTests.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CDBSetupPage::CDBSetupPage(const SetupChoice& initial, QWidget* parent)
    : QWidget(parent), m_databaseName(new QLineEdit(QString::fromStdString(initial.databaseName))),
      m_ipAddress(new QLineEdit(QString::fromStdString(initial.databaseIpAddress))),
      m_ipPort(new QLineEdit(QString::fromStdString(initial.databaseIpPort))),
      m_oracle(new QRadioButton(QStringLiteral("Oracle"))), m_derby(new QRadioButton(QStringLiteral("Derby / Nimbus")))
{
    setObjectName(QStringLiteral("CDBSetupPage"));
    m_databaseName->setObjectName(QStringLiteral("DatabaseName"));
    m_ipAddress->setObjectName(QStringLiteral("IpAddress"));
    m_ipPort->setObjectName(QStringLiteral("IpPort"));
    m_oracle->setObjectName(QStringLiteral("Oracle"));
    m_derby->setObjectName(QStringLiteral("DerbyNimbus"));
    m_databaseName->setToolTip(tr("The ODBC data source name; the embedded database is \"Vaultline\""));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Database Name"), m_databaseName);
    form->addRow(QStringLiteral("IP Address"), m_ipAddress);
    form->addRow(QStringLiteral("IP Port"), m_ipPort);
    auto* typeBox = new QGroupBox(QStringLiteral("Database Type"));
    auto* typeLayout = new QVBoxLayout(typeBox);
    typeLayout->addWidget(m_oracle);
    typeLayout->addWidget(m_derby);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(typeBox);
    layout->addStretch(1);

    m_storedType = initial.databaseType == DatabaseTypeChoice::Oracle        ? 1
                   : initial.databaseType == DatabaseTypeChoice::DerbyNimbus ? 2
                                                                             : 0;
    if (initial.databaseType == DatabaseTypeChoice::Oracle) {
        m_oracle->setChecked(true);
        chooseOracle(true);
    } else if (initial.databaseType == DatabaseTypeChoice::DerbyNimbus) {
        m_derby->setChecked(true);
    }
    connect(m_oracle, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseOracle(true);
    });
    connect(m_derby, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseOracle(false);
    });
}

void CDBSetupPage::chooseOracle(bool oracle)
{
    if (oracle) {
        // The typed address and port are kept aside for a switch back.
        m_keptAddress = m_ipAddress->text();
        m_keptPort = m_ipPort->text();
        m_ipAddress->clear();
        m_ipPort->clear();
    } else {
        m_ipAddress->setText(m_keptAddress);
        m_ipPort->setText(m_keptPort);
    }
    m_ipAddress->setReadOnly(oracle);
    m_ipPort->setReadOnly(oracle);
}

void CDBSetupPage::focusDatabaseName()
{
    focusAndSelect(m_databaseName);
}

void CDBSetupPage::focusIpAddress()
{
    focusAndSelect(m_ipAddress);
}

int CDBSetupPage::chosenDatabaseType() const
{
    return m_oracle->isChecked() ? 1 : m_derby->isChecked() ? 2 : m_storedType;
}

QString CDBSetupPage::databaseName() const
{
    return m_databaseName->text();
}

void CDBSetupPage::fillChoice(SetupChoice& choice) const
{
    choice.databaseType = m_oracle->isChecked()  ? DatabaseTypeChoice::Oracle
                          : m_derby->isChecked() ? DatabaseTypeChoice::DerbyNimbus
                                                 : DatabaseTypeChoice::None;
    choice.databaseName = m_databaseName->text().toStdString();
    choice.databaseIpAddress = m_ipAddress->text().toStdString();
    choice.databaseIpPort = m_ipPort->text().toStdString();
}

void CDBSetupPage::test()
{
    DatabaseTestInput input;
    input.databaseName = m_databaseName->text().toStdString();
    input.ipAddress = m_ipAddress->text().toStdString();
    input.ipPort = m_ipPort->text().toStdString();
    input.oracle = m_oracle->isChecked();
    runDatabaseTest(input, this);
}
