#include "CSetupDlg.h"

#include "CDBSetupPage.h"
#include "CTableSetupPage.h"
#include "app/CQmxApp.h"
#include "app/HelpShortcut.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

CSetupDlg::CSetupDlg(const SetupChoice& initial, QWidget* parent)
    : QDialog(parent), m_pages(new QTabWidget(this)), m_databasePage(new CDBSetupPage(initial)),
      m_tablePage(new CTableSetupPage(initial))
{
    setWindowTitle(QStringLiteral("Setup"));
    setObjectName(QStringLiteral("CSetupDlg"));
    m_pages->addTab(m_databasePage, QStringLiteral("Database"));
    m_pages->addTab(m_tablePage, QStringLiteral("Table"));

    auto* ok = new QPushButton(tr("OK"));
    auto* testButton = new QPushButton(QStringLiteral("Test"));
    auto* cancel = new QPushButton(tr("Cancel"));
    ok->setObjectName(QStringLiteral("OK"));
    testButton->setObjectName(QStringLiteral("Test"));
    cancel->setObjectName(QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(testButton, &QPushButton::clicked, this, &CSetupDlg::test);
    auto* column = new QVBoxLayout;
    column->addSpacing(m_pages->tabBar()->sizeHint().height());
    column->addWidget(ok);
    column->addWidget(testButton);
    column->addWidget(cancel);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(column);

    // The type chosen on the database page decides the dialect of the table page's statements,
    // before OK has stored it.
    m_tablePage->setDatabaseTypeSource([this] { return m_databasePage->chosenDatabaseType(); });
    // Leaving the database page makes the typed name the data source of every test at once.
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (index != 0)
            theApp().settings.databaseName = m_databasePage->databaseName().toStdString();
    });
    addHelpShortcut(this, [this] {
        return m_pages->currentWidget() == m_tablePage ? HelpContext::TableSetupPage : HelpContext::DatabaseSetupPage;
    });
    setMinimumSize(460, 320);
}

void CSetupDlg::test()
{
    if (m_pages->currentWidget() == m_tablePage)
        m_tablePage->test();
    else
        m_databasePage->test();
}

SetupChoice CSetupDlg::choice() const
{
    SetupChoice choice;
    m_databasePage->fillChoice(choice);
    m_tablePage->fillChoice(choice);
    return choice;
}

std::optional<SetupChoice> CSetupDlg::ask(const SetupChoice& initial, QWidget* parent)
{
    CSetupDlg dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
