#include "CTapeAlertWindow.h"

#include "app/CQmxApp.h"
#include "app/HelpShortcut.h"
#include "app/UserPrompts.h"
#include "custom/CustomFormTexts.h"
#include "custom/CustomItems.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace texts = custom_form_texts;

CTapeAlertWindow::CTapeAlertWindow(QWidget* parent) : QDialog(parent), m_list(new QListWidget)
{
    setObjectName(QStringLiteral("CTapeAlertWindow"));
    setWindowTitle(QString::fromLatin1(texts::TapeAlertTitle));
    m_list->setObjectName(QStringLiteral("TapeAlertList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& entry : tapeAlertEntries())
        m_list->addItem(QString::fromStdString(entry));
    m_list->setMinimumSize(260, 320);

    auto* group = new QGroupBox(QString::fromLatin1(texts::TapeAlertGroup));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);
    auto* submitButton = new QPushButton(QString::fromLatin1(texts::TapeAlertSubmit));
    submitButton->setObjectName(QStringLiteral("Submit"));
    submitButton->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(submitButton, 0, Qt::AlignRight);
    connect(submitButton, &QPushButton::clicked, this, &CTapeAlertWindow::submit);
    addHelpShortcut(this, [] { return HelpContext::CustomReportWindow; });
}

void CTapeAlertWindow::submit()
{
    std::vector<std::string> chosen;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->isSelected())
            chosen.push_back(m_list->item(row)->text().toStdString());
    if (chosen.empty()) {
        theApp().prompts().showMessage(texts::TapeAlertNoneSelected, MessageIcon::Exclamation);
        return;
    }
    m_selection = std::move(chosen);
    done(texts::TapeAlertSubmitted);
}

std::optional<std::vector<std::string>> CTapeAlertWindow::choose(QWidget* parent)
{
    CTapeAlertWindow dialog(parent);
    if (dialog.exec() != texts::TapeAlertSubmitted)
        return std::nullopt;
    return dialog.selection();
}
