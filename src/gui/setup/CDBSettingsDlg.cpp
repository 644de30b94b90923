#include "CDBSettingsDlg.h"

#include "app/HelpShortcut.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CDBSettingsDlg::CDBSettingsDlg(const QString& title, const QString& userName, QWidget* parent)
    : QDialog(parent), m_userName(new QLineEdit(userName, this)), m_password(new QLineEdit(this))
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("CDBSettingsDlg"));
    m_userName->setObjectName(QStringLiteral("Username"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(tr("Username"), m_userName);
    form->addRow(tr("Password"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    addHelpShortcut(this, [] { return HelpContext::ConnectDialog; });
    (userName.isEmpty() ? m_userName : m_password)->setFocus();
}

QString CDBSettingsDlg::userName() const
{
    return m_userName->text();
}

QString CDBSettingsDlg::password() const
{
    return m_password->text();
}
