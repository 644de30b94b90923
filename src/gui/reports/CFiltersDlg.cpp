#include "CFiltersDlg.h"

#include "app/CQmxApp.h"
#include "reports/ReportTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>

CFiltersDlg::CFiltersDlg(const LifetimeThresholds& thresholds, QWidget* parent)
    : QDialog(parent), m_pages(new QTabWidget),
      m_enable(new QCheckBox(QString::fromLatin1(report_texts::EnableFilters)))
{
    setObjectName(QStringLiteral("CFiltersDlg"));
    setWindowTitle(QString::fromLatin1(report_texts::SettingsTitle));

    auto* settingsPage = new QWidget;
    auto* settingsLayout = new QVBoxLayout(settingsPage);
    m_enable->setObjectName(QStringLiteral("EnableFilters"));
    m_enable->setChecked(thresholds.filtersEnabled);
    settingsLayout->addWidget(m_enable);
    settingsLayout->addStretch(1);
    m_pages->addTab(settingsPage, QString::fromLatin1(report_texts::FilterSettingsPage));

    auto* lifetimePage = new QWidget;
    auto* grid = new QGridLayout(lifetimePage);
    grid->addWidget(new QLabel(QString::fromLatin1(report_texts::YellowCaption)), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QString::fromLatin1(report_texts::RedCaption)), 0, 2, Qt::AlignCenter);
    for (std::size_t at = 0; at < m_counters.size(); ++at) {
        const LifetimeThreshold& threshold = thresholds.counters[at];
        m_counters[at] = new QCheckBox(QString::fromLatin1(report_texts::CounterCaptions[at]));
        m_counters[at]->setChecked(threshold.enabled);
        m_yellow[at] = new QSpinBox;
        m_red[at] = new QSpinBox;
        for (QSpinBox* box : {m_yellow[at], m_red[at]})
            box->setRange(INT_MIN, INT_MAX);
        m_yellow[at]->setValue(threshold.yellow);
        m_red[at]->setValue(threshold.red);
        const int row = static_cast<int>(at) + 1;
        grid->addWidget(m_counters[at], row, 0);
        grid->addWidget(m_yellow[at], row, 1);
        grid->addWidget(m_red[at], row, 2);
    }
    grid->setRowStretch(static_cast<int>(m_counters.size()) + 1, 1);
    m_pages->addTab(lifetimePage, QString::fromLatin1(report_texts::LifetimeFiltersPage));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
}

LifetimeThresholds CFiltersDlg::thresholds() const
{
    LifetimeThresholds read;
    read.filtersEnabled = m_enable->isChecked();
    for (std::size_t at = 0; at < m_counters.size(); ++at)
        read.counters[at] = {m_counters[at]->isChecked(), m_yellow[at]->value(), m_red[at]->value()};
    return read;
}

bool CFiltersDlg::edit(QWidget* parent)
{
    CFiltersDlg dialog(theApp().lifetimeThresholds(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    theApp().setLifetimeThresholds(dialog.thresholds());
    return true;
}
