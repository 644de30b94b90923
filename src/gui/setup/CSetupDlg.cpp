#include "CSetupDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

CSetupDlg::CSetupDlg(const SetupChoice& initial, QWidget* parent)
    : QDialog(parent),
      m_pages(new QTabWidget(this)),
      m_databaseName(new QLineEdit(QString::fromStdString(initial.databaseName))),
      m_ipAddress(new QLineEdit(QString::fromStdString(initial.databaseIpAddress))),
      m_ipPort(new QLineEdit(QString::fromStdString(initial.databaseIpPort))),
      m_oracle(new QRadioButton(QStringLiteral("Oracle"))),
      m_derby(new QRadioButton(QStringLiteral("Derby / Nimbus"))),
      m_tableName(new QLineEdit(QString::fromStdString(initial.mountHistoryTableName))),
      m_unitedStates(new QRadioButton(QStringLiteral("United States"))),
      m_iso(new QRadioButton(QStringLiteral("ISO"))),
      m_europe(new QRadioButton(QStringLiteral("Europe")))
{
    setWindowTitle(QStringLiteral("Setup"));
    setObjectName(QStringLiteral("CSetupDlg"));
    m_databaseName->setObjectName(QStringLiteral("DatabaseName"));
    m_ipAddress->setObjectName(QStringLiteral("IpAddress"));
    m_ipPort->setObjectName(QStringLiteral("IpPort"));
    m_tableName->setObjectName(QStringLiteral("TableName"));
    m_oracle->setObjectName(QStringLiteral("Oracle"));
    m_derby->setObjectName(QStringLiteral("DerbyNimbus"));

    auto* databasePage = new QWidget;
    auto* databaseForm = new QFormLayout(databasePage);
    databaseForm->addRow(QStringLiteral("Database Name"), m_databaseName);
    databaseForm->addRow(QStringLiteral("IP Address"), m_ipAddress);
    databaseForm->addRow(QStringLiteral("IP Port"), m_ipPort);
    auto* typeBox = new QGroupBox(QStringLiteral("Database Type"));
    auto* typeLayout = new QVBoxLayout(typeBox);
    typeLayout->addWidget(m_oracle);
    typeLayout->addWidget(m_derby);
    databaseForm->addRow(typeBox);
    m_pages->addTab(databasePage, QStringLiteral("Database"));

    auto* tablePage = new QWidget;
    auto* tableForm = new QFormLayout(tablePage);
    tableForm->addRow(QStringLiteral("Table Name"), m_tableName);
    auto* dateBox = new QGroupBox(QStringLiteral("Date Format"));
    auto* dateLayout = new QVBoxLayout(dateBox);
    dateLayout->addWidget(m_unitedStates);
    dateLayout->addWidget(m_iso);
    dateLayout->addWidget(m_europe);
    tableForm->addRow(dateBox);
    m_pages->addTab(tablePage, QStringLiteral("Table"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons, 0, Qt::AlignTop);

    switch (initial.dateFormat) {
    case DateFormatChoice::Iso: m_iso->setChecked(true); break;
    case DateFormatChoice::Europe: m_europe->setChecked(true); break;
    case DateFormatChoice::UnitedStates: m_unitedStates->setChecked(true); break;
    case DateFormatChoice::None: break;
    }
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
    setMinimumWidth(420);
}

void CSetupDlg::chooseOracle(bool oracle)
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

SetupChoice CSetupDlg::choice() const
{
    SetupChoice choice;
    choice.databaseType = m_oracle->isChecked()  ? DatabaseTypeChoice::Oracle
                          : m_derby->isChecked() ? DatabaseTypeChoice::DerbyNimbus
                                                 : DatabaseTypeChoice::None;
    choice.databaseName = m_databaseName->text().toStdString();
    choice.databaseIpAddress = m_ipAddress->text().toStdString();
    choice.databaseIpPort = m_ipPort->text().toStdString();
    choice.mountHistoryTableName = m_tableName->text().toStdString();
    choice.dateFormat = m_unitedStates->isChecked() ? DateFormatChoice::UnitedStates
                        : m_iso->isChecked()        ? DateFormatChoice::Iso
                        : m_europe->isChecked()     ? DateFormatChoice::Europe
                                                    : DateFormatChoice::None;
    return choice;
}

std::optional<SetupChoice> CSetupDlg::ask(const SetupChoice& initial, QWidget* parent)
{
    CSetupDlg dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
