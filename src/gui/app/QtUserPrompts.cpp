#include "QtUserPrompts.h"

#include "UiThread.h"
#include "setup/CDBSettingsDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtUserPrompts::showMessage(const std::string& text, MessageIcon icon)
{
    runOnUiThread([&] {
        QMessageBox box(boxIcon(icon), QString::fromLatin1(ApplicationTitle), QString::fromStdString(text),
                        QMessageBox::Ok, m_parent);
        box.exec();
    });
}

bool QtUserPrompts::askYesNo(const std::string& question, MessageIcon icon)
{
    return askYesNoCaptioned(ApplicationTitle, question, icon);
}

bool QtUserPrompts::askYesNoCaptioned(const std::string& caption, const std::string& question, MessageIcon icon)
{
    bool yes = false;
    runOnUiThread([&] {
        QMessageBox box(boxIcon(icon), QString::fromStdString(caption), QString::fromStdString(question),
                        QMessageBox::Yes | QMessageBox::No, m_parent);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}

CredentialsReply QtUserPrompts::askCredentials(const std::string& title, const std::string& userName)
{
    CredentialsReply reply;
    runOnUiThread([&] {
        CDBSettingsDlg dialog(QString::fromStdString(title), QString::fromStdString(userName), m_parent);
        if (dialog.exec() == QDialog::Accepted) {
            reply.result = DialogResult::Ok;
            reply.userName = dialog.userName().toStdString();
            reply.password = dialog.password().toStdString();
        }
    });
    return reply;
}

std::optional<std::string> QtUserPrompts::askOpenFileName(const std::string& title, const std::string& filter)
{
    std::optional<std::string> chosen;
    runOnUiThread([&] {
        QString path = QFileDialog::getOpenFileName(m_parent, QString::fromStdString(title), QString(),
                                                    QString::fromStdString(filter));
        if (!path.isEmpty())
            chosen = path.toStdString();
    });
    return chosen;
}

std::optional<std::string> QtUserPrompts::askSaveFileName(const std::string& title, const std::string& filter,
                                                          const std::string& defaultName)
{
    std::optional<std::string> chosen;
    runOnUiThread([&] {
        QString path =
            QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title), QString::fromStdString(defaultName),
                                         QString::fromStdString(filter));
        if (!path.isEmpty())
            chosen = path.toStdString();
    });
    return chosen;
}

std::optional<std::string> QtUserPrompts::askText(const std::string& title, const std::string& label,
                                                  const std::string& initial)
{
    std::optional<std::string> chosen;
    runOnUiThread([&] {
        bool ok = false;
        QString text = QInputDialog::getText(m_parent, QString::fromStdString(title), QString::fromStdString(label),
                                             QLineEdit::Normal, QString::fromStdString(initial), &ok);
        if (ok)
            chosen = text.toStdString();
    });
    return chosen;
}

void QtUserPrompts::setWaitCursor(bool on)
{
    // Only the UI thread owns the cursor; a worker's wait shows in its own window instead.
    if (QThread::currentThread() != qApp->thread())
        return;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
