#include "ScopedApp.h"
#include "agent/AgentTexts.h"
#include "agent/CAgentScheduler.h"
#include "agent/CReportsAgent.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include <atomic>

namespace {
} // namespace

class ReportsAgentTest : public QObject {
    Q_OBJECT
private slots:
    // The dialog shows the stored settings, refuses OK until an address and a range are
    // chosen, and then stores what its controls say with the new start date.
    void dialogShowsChecksAndStores()
    {
        ScopedApp scoped;
        AgentSettings stored;
        stored.mountRates = true;
        stored.weekdays[2] = true;
        stored.startHour = 23;
        stored.startMinute = 59;
        stored.startSecond = 59;
        stored.ipList = "10.0.0.9,";
        stored.smtpServer = "mail.example.net";
        stored.recipients = "ops@example.net";
        CReportsAgent dialog(stored, {"10.0.0.1", "10.0.0.9"});
        dialog.setClock([] { return localTime(2026, 12, 8, 12, 0, 0); });
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("IpAddresses"));
        QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Checked);
        QCOMPARE(dialog.findChild<QTimeEdit*>(QStringLiteral("StartingTime"))->time(), QTime(23, 59, 59));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Auto Reports Agent"));

        dialog.show();
        list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        dialog.accept();
        QVERIFY(dialog.isVisible());
        list->topLevelItem(0)->setCheckState(0, Qt::Checked);
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QComboBox*>(QStringLiteral("Range"))->setCurrentIndex(1);
        dialog.findChild<QCheckBox*>(QStringLiteral("Enabled"))->setChecked(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("SmtpServer"))->setText(QStringLiteral(" mail.example.net:2525 "));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(scoped.prompts.messageTexts(),
                 (std::vector<std::string>{agent_texts::NoIpChecked, agent_texts::SelectRange,
                                           "New calculated start date: 12-01-2026"}));
        const AgentSettings& confirmed = dialog.confirmed();
        QVERIFY(confirmed.enabled && confirmed.mountRates && !confirmed.driveHealth && confirmed.weekdays[2]);
        QCOMPARE(confirmed.ipList, std::string("10.0.0.1,"));
        QCOMPARE(confirmed.startDate, std::string("12-01-2026"));
        QCOMPARE(confirmed.smtpServer, std::string("mail.example.net:2525"));
        QCOMPARE(confirmed.startHour * 3600 + confirmed.startMinute * 60 + confirmed.startSecond, 86399);
    }

    // The window's timer runs only while the agent is enabled, and a tick at the start time
    // while connected starts the chosen reports.
    void timerFollowsEnabledAndStartsTheRun()
    {
        ScopedApp scoped;
        std::atomic<int> reportsRun{0};
        AgentRunOptions options;
        options.runner = [&](ReportKind, const MailReportRequest&) -> std::optional<std::string> {
            ++reportsRun;
            return std::nullopt;
        };
        QObject owner;
        auto* scheduler = new CAgentScheduler(&owner, options);
        QVERIFY(!scheduler->timerActive());
        AgentSettings& settings = scoped.app().agentSettings();
        settings.enabled = true;
        settings.weekdays.fill(true);
        settings.startHour = 8;
        settings.driveHealth = settings.encryptionStatus = true;
        scheduler->settingsConfirmed();
        QVERIFY(scheduler->timerActive());

        QSignalSpy started(scheduler, &CAgentScheduler::runStarted);
        std::time_t now = localTime(2026, 12, 8, 7, 59, 59);
        scheduler->setClock([&now] { return now; });
        scoped.app().connected = true;
        scheduler->tick();
        QCOMPARE(started.count(), 0);
        now += 1;
        scheduler->tick();
        scheduler->tick();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 2);
        scheduler->runs().waitUntilDone();
        QCOMPARE(reportsRun.load(), 2);

        settings.enabled = false;
        scheduler->settingsConfirmed();
        QVERIFY(!scheduler->timerActive());
    }
};

QTEST_MAIN(ReportsAgentTest)
#include "ReportsAgentTest.moc"
