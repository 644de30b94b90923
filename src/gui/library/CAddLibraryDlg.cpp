#include "CAddLibraryDlg.h"

#include "app/CQmxApp.h"
#include "app/HelpShortcut.h"
#include "app/UserPrompts.h"
#include "library/MonitorAddressList.h"
#include "library/MonitorTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

CAddLibraryDlg::CAddLibraryDlg(const std::vector<std::string>& addresses, EntryCheck check, QWidget* parent)
    : QDialog(parent), m_addresses(new QComboBox(this)), m_check(std::move(check))
{
    setWindowTitle(QString::fromLatin1(monitor_texts::AddressDialogTitle));
    m_addresses->setEditable(true);
    m_addresses->setObjectName(QStringLiteral("IpAddress"));
    m_addresses->setMinimumWidth(220);
    for (const std::string& address : addresses)
        m_addresses->addItem(QString::fromStdString(address));
    m_addresses->setCurrentText(QString());

    auto* form = new QFormLayout;
    form->addRow(QString::fromLatin1(monitor_texts::AddressLabel), m_addresses);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    addHelpShortcut(this, [] { return HelpContext::MonitorStartDialog; });
}

void CAddLibraryDlg::accept()
{
    if (m_check) {
        const std::string problem = m_check(cleanLibraryAddress(m_addresses->currentText().toStdString()));
        if (!problem.empty()) {
            theApp().prompts().showMessage(problem, MessageIcon::Exclamation);
            m_addresses->setFocus();
            return;
        }
    }
    QDialog::accept();
}

std::optional<CAddLibraryDlg::Choice> CAddLibraryDlg::ask(QWidget* parent, EntryCheck check)
{
    std::optional<std::vector<std::string>> addresses = setupIPCombo();
    if (!addresses)
        return std::nullopt;
    CAddLibraryDlg dialog(*addresses, std::move(check), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Choice{dialog.m_addresses->currentText().toStdString(), *addresses};
}
