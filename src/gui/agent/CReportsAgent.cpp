#include "CReportsAgent.h"

#include "agent/AgentReports.h"
#include "agent/AgentTexts.h"
#include "app/CQmxApp.h"
#include "app/HelpShortcut.h"
#include "app/UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// The Reports group's boxes in the dialog's order, each labelled with its report's mail name.
constexpr std::array<ReportKind, 6> ReportBoxes{ReportKind::CartridgeHealth,     ReportKind::DriveHealth,
                                                ReportKind::CartridgeStatistics, ReportKind::EncryptionStatus,
                                                ReportKind::MountRates,          ReportKind::LibraryOverview};
constexpr std::array<const char*, 7> DayLabels{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                               "Friday", "Saturday", "Sunday"};

QString latin(const char* text)
{
    return QString::fromLatin1(text);
}
} // namespace

CReportsAgent::CReportsAgent(const AgentSettings& settings, const std::vector<std::string>& addresses, QWidget* parent)
    : QDialog(parent), m_enabled(new QCheckBox(latin("Enable Auto Reports"), this)), m_startTime(new QTimeEdit(this)),
      m_range(new QComboBox(this)), m_addresses(new QTreeWidget(this)), m_server(new QLineEdit(this)),
      m_recipients(new QLineEdit(this)), m_confirmed(settings), m_clock([] { return std::time(nullptr); })
{
    setWindowTitle(latin(agent_texts::DialogTitle));
    setObjectName(QStringLiteral("CReportsAgent"));
    m_enabled->setObjectName(QStringLiteral("Enabled"));
    m_enabled->setChecked(settings.enabled);

    auto* reports = new QGroupBox(latin("Reports"), this);
    auto* reportsLayout = new QVBoxLayout(reports);
    for (std::size_t index = 0; index < ReportBoxes.size(); ++index) {
        m_reports[index] = new QCheckBox(latin(reportKindInfo(ReportBoxes[index]).mailName), reports);
        m_reports[index]->setChecked(agentReportChosen(settings, ReportBoxes[index]));
        reportsLayout->addWidget(m_reports[index]);
    }

    auto* schedule = new QGroupBox(latin("Reports Schedule"), this);
    auto* scheduleLayout = new QGridLayout(schedule);
    for (std::size_t index = 0; index < DayLabels.size(); ++index) {
        m_days[index] = new QCheckBox(latin(DayLabels[index]), schedule);
        m_days[index]->setChecked(settings.weekdays[index]);
        scheduleLayout->addWidget(m_days[index], static_cast<int>(index % 4), static_cast<int>(index / 4));
    }
    m_startTime->setObjectName(QStringLiteral("StartingTime"));
    m_startTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_startTime->setTime(QTime(settings.startHour, settings.startMinute, settings.startSecond));
    scheduleLayout->addWidget(new QLabel(latin("Starting Time"), schedule), 4, 0);
    scheduleLayout->addWidget(m_startTime, 4, 1);

    auto* reportSettings = new QGroupBox(latin("Report Settings"), this);
    auto* rangeLayout = new QFormLayout(reportSettings);
    m_range->setObjectName(QStringLiteral("Range"));
    for (const char* range : AgentRangeTexts)
        m_range->addItem(latin(range));
    m_range->setCurrentIndex(-1); // the range is not kept: it is chosen at every OK
    rangeLayout->addRow(latin("Range"), m_range);

    m_addresses->setObjectName(QStringLiteral("IpAddresses"));
    m_addresses->setColumnCount(1);
    m_addresses->setHeaderLabels({latin("IP Address")});
    m_addresses->headerItem()->setTextAlignment(0, Qt::AlignCenter);
    m_addresses->setRootIsDecorated(false);
    for (const std::string& address : addresses) {
        auto* item = new QTreeWidgetItem(m_addresses, {QString::fromStdString(address)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, agentIpListHolds(settings, address) ? Qt::Checked : Qt::Unchecked);
    }
    auto* addressBox = new QGroupBox(latin("IP Addresses"), this);
    auto* addressLayout = new QVBoxLayout(addressBox);
    addressLayout->addWidget(m_addresses);

    auto* smtp = new QGroupBox(latin("SMTP Settings"), this);
    auto* smtpLayout = new QFormLayout(smtp);
    m_server->setObjectName(QStringLiteral("SmtpServer"));
    m_server->setText(QString::fromStdString(settings.smtpServer));
    m_recipients->setObjectName(QStringLiteral("Recipients"));
    m_recipients->setText(QString::fromStdString(settings.recipients));
    smtpLayout->addRow(latin("SMTP Server (port = 25)"), m_server);
    smtpLayout->addRow(latin("Email Addresses (separated by commas)"), m_recipients);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportsAgent::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(m_enabled);
    left->addWidget(reports);
    left->addWidget(schedule);
    auto* right = new QVBoxLayout;
    right->addWidget(reportSettings);
    right->addWidget(addressBox);
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(smtp);
    layout->addWidget(buttons);
    addHelpShortcut(this, [] { return HelpContext::ReportsAgentDialog; });
}

AgentDialogEntry CReportsAgent::entry() const
{
    AgentDialogEntry entry;
    AgentSettings& fields = entry.fields;
    fields.enabled = m_enabled->isChecked();
    for (std::size_t index = 0; index < ReportBoxes.size(); ++index)
        setAgentReportChosen(fields, ReportBoxes[index], m_reports[index]->isChecked());
    for (std::size_t index = 0; index < m_days.size(); ++index)
        fields.weekdays[index] = m_days[index]->isChecked();
    const QTime start = m_startTime->time();
    fields.startHour = start.hour();
    fields.startMinute = start.minute();
    fields.startSecond = start.second();
    fields.smtpServer = m_server->text().trimmed().toStdString();
    fields.recipients = m_recipients->text().toStdString();
    fields.sender = m_confirmed.sender;
    for (int row = 0; row < m_addresses->topLevelItemCount(); ++row)
        if (m_addresses->topLevelItem(row)->checkState(0) == Qt::Checked)
            entry.checkedAddresses.push_back(m_addresses->topLevelItem(row)->text(0).toStdString());
    entry.rangeText = m_range->currentIndex() < 0 ? std::string() : m_range->currentText().toStdString();
    return entry;
}

void CReportsAgent::accept()
{
    const AgentDialogOutcome outcome = confirmAgentDialog(entry(), m_clock());
    if (outcome.refusal) {
        theApp().prompts().showMessage(*outcome.refusal, MessageIcon::Exclamation);
        return;
    }
    m_confirmed = outcome.settings;
    QDialog::accept();
    theApp().prompts().showMessage(outcome.startDateMessage, MessageIcon::Information);
}

bool CReportsAgent::edit(QWidget* parent)
{
    std::vector<std::string> addresses;
    {
        WaitCursor wait(theApp().prompts());
        // A list that cannot be read stays empty (logged); the dialog still opens.
        addresses = agentLibraryAddresses().value_or(std::vector<std::string>{});
    }
    CReportsAgent dialog(theApp().agentSettings(), addresses, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    theApp().agentSettings() = dialog.confirmed();
    return true;
}
