#include "CDateForm.h"

#include "reports/ReportRunner.h"
#include "reports/ReportTexts.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

namespace {
QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}
} // namespace

CDateForm::CDateForm(QWidget* parent)
    : QWidget(parent), m_begin(new QDateEdit), m_end(new QDateEdit),
      m_generate(new QPushButton(QString::fromLatin1(report_texts::GenerateReport))),
      m_cancel(new QPushButton(QString::fromLatin1(report_texts::Cancel))), m_list(new QTreeWidget),
      m_filler(std::make_unique<ReportWorker>())
{
    setObjectName(QStringLiteral("CDateForm"));
    for (QDateEdit* edit : {m_begin, m_end}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        edit->setDate(QDate::currentDate());
    }
    m_begin->setObjectName(QStringLiteral("BeginDate"));
    m_end->setObjectName(QStringLiteral("EndDate"));
    m_generate->setObjectName(QStringLiteral("GenerateReport"));
    m_cancel->setObjectName(QStringLiteral("CancelReport"));
    m_list->setObjectName(QStringLiteral("IpAddressList"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({QString::fromLatin1(report_texts::IpAddressColumn)});
    m_list->header()->setDefaultAlignment(Qt::AlignCenter);
    m_list->setRootIsDecorated(false);
    m_list->setMinimumWidth(220);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QString::fromLatin1(report_texts::BeginningDate)), 0, 0);
    layout->addWidget(m_begin, 0, 1);
    layout->addWidget(new QLabel(QString::fromLatin1(report_texts::EndingDate)), 1, 0);
    layout->addWidget(m_end, 1, 1);
    // Cancel stands where Generate Report stands, and only one of them shows.
    layout->addWidget(m_generate, 2, 1);
    layout->addWidget(m_cancel, 2, 1);
    layout->addWidget(m_list, 0, 2, 4, 1);
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(3, 1);
    m_cancel->hide();

    connect(m_generate, &QPushButton::clicked, this, &CDateForm::generateRequested);
    connect(m_cancel, &QPushButton::clicked, this, &CDateForm::cancelRequested);
}

CDateForm::~CDateForm()
{
    m_filler->close();
    m_filler->join();
}

void CDateForm::FillReportIpList()
{
    m_list->clear();
    QPointer<CDateForm> form(this);
    m_filler->start(ReportRequest::fromSettings("", "", {}), [form](const ReportRequest& request) {
        auto addresses = reportAddressList(request);
        if (request.closing())
            return 0;
        QMetaObject::invokeMethod(
            form.data(),
            [form, list = addresses.value_or(std::vector<std::string>{})] {
                if (form) {
                    form->setAddresses(list);
                    emit form->addressesFilled();
                }
            },
            Qt::QueuedConnection);
        return addresses ? 1 : 0;
    });
}

bool CDateForm::filling() const
{
    return m_filler->running();
}

std::vector<std::string> CDateForm::addresses() const
{
    std::vector<std::string> shown;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        shown.push_back(m_list->topLevelItem(row)->text(0).toStdString());
    return shown;
}

std::vector<std::string> CDateForm::checkedAddresses() const
{
    std::vector<std::string> checked;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        if (m_list->topLevelItem(row)->checkState(0) == Qt::Checked)
            checked.push_back(m_list->topLevelItem(row)->text(0).toStdString());
    return checked;
}

void CDateForm::setAddresses(const std::vector<std::string>& addresses)
{
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const std::string& address : addresses) {
        auto* item = new QTreeWidgetItem(m_list, {QString::fromStdString(address)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setTextAlignment(0, Qt::AlignCenter);
    }
    m_list->resizeColumnToContents(0);
    m_list->setUpdatesEnabled(true);
}

void CDateForm::setChecked(const std::string& address, bool checked)
{
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        if (m_list->topLevelItem(row)->text(0).toStdString() == address)
            m_list->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

std::string CDateForm::beginDate() const
{
    return dateText(m_begin->date()).toStdString();
}

std::string CDateForm::endDate() const
{
    return dateText(m_end->date()).toStdString();
}

void CDateForm::setDates(const std::string& begin, const std::string& end)
{
    m_begin->setDate(QDate::fromString(QString::fromStdString(begin), QStringLiteral("yyyy-MM-dd")));
    m_end->setDate(QDate::fromString(QString::fromStdString(end), QStringLiteral("yyyy-MM-dd")));
}

void CDateForm::setRunning(bool running)
{
    m_running = running;
    m_generate->setVisible(!running);
    m_generate->setEnabled(!running);
    m_cancel->setVisible(running);
    m_cancel->setEnabled(running);
}

bool CDateForm::running() const
{
    return m_running;
}
