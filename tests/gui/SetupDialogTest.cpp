#include "ScopedApp.h"
#include "setup/CDBSetupPage.h"
#include "setup/CSetupDlg.h"
#include "setup/CTableSetupPage.h"
#include "db/Tables.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

class SetupDialogTest : public QObject {
    Q_OBJECT
private slots:
    void oracleSwitchKeepsTheTypedAddressAndPort()
    {
        ScopedApp scoped;
        SetupChoice initial;
        initial.databaseType = DatabaseTypeChoice::DerbyNimbus;
        initial.databaseName = "Vaultline";
        initial.dateFormat = DateFormatChoice::Iso;
        CSetupDlg dialog(initial);
        auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("IpAddress"));
        auto* port = dialog.findChild<QLineEdit*>(QStringLiteral("IpPort"));
        address->setText(QStringLiteral("10.9.8.7"));
        port->setText(QStringLiteral("1527"));

        dialog.findChild<QRadioButton*>(QStringLiteral("Oracle"))->setChecked(true);
        QCOMPARE(address->text(), QString());
        QVERIFY(address->isReadOnly());
        QVERIFY(port->isReadOnly());
        QCOMPARE(dialog.choice().databaseType, DatabaseTypeChoice::Oracle);

        dialog.findChild<QRadioButton*>(QStringLiteral("DerbyNimbus"))->setChecked(true);
        QCOMPARE(address->text(), QStringLiteral("10.9.8.7"));
        QCOMPARE(port->text(), QStringLiteral("1527"));
        QVERIFY(!address->isReadOnly());
        SetupChoice choice = dialog.choice();
        QCOMPARE(choice.databaseIpPort, std::string("1527"));
        QCOMPARE(choice.dateFormat, DateFormatChoice::Iso);
    }

    void oracleSettingsOpenWithEmptyReadOnlyAddress()
    {
        ScopedApp scoped;
        SetupChoice initial;
        initial.databaseType = DatabaseTypeChoice::Oracle;
        initial.databaseIpAddress = "1.1.1.1";
        CSetupDlg dialog(initial);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("IpAddress"))->text(), QString());
        QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("IpAddress"))->isReadOnly());
    }

    void testButtonsCancelledInTheUserDialogTouchNothing()
    {
        ScopedApp scoped;
        SetupChoice initial;
        initial.databaseType = DatabaseTypeChoice::DerbyNimbus;
        initial.mountHistoryTableName = "MH";
        CSetupDlg dialog(initial);
        // The recorder answers Cancel to every user dialog.
        dialog.findChild<QPushButton*>(QStringLiteral("Test"))->click();
        dialog.pages()->setCurrentIndex(1);
        dialog.findChild<QPushButton*>(QStringLiteral("Test"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("Create"))->click();
        scoped.prompts.yesNoReplies = {true};
        dialog.findChild<QPushButton*>(QStringLiteral("Delete"))->click();
        QCOMPARE(scoped.prompts.dialogTitles(),
                 (std::vector<std::string>{"Test Database", "Test Table", "Create Table", "Delete Table"}));
        QVERIFY(scoped.prompts.messages().empty());
        QVERIFY(scoped.store.writes().empty());
    }

    void createUsesTheTypeChosenInTheSheetNotTheStoredOne()
    {
        // The embedded store keeps each table's statement as it was given, so the text can be
        // read back; it accepts the column types of either dialect.
        const TestBackend sqlite = testBackends().front();
        for (const int stored : {2, 1}) {
            ScopedApp scoped;
            const std::string base = uniqueTableName("sheet");
            scoped.useBackend(sqlite, "unused", stored);
            SetupChoice initial = setupChoiceFromSettings(scoped.app().settings);
            CSetupDlg dialog(initial);
            const int chosen = stored == 2 ? 1 : 2;
            dialog.findChild<QRadioButton*>(chosen == 1 ? QStringLiteral("Oracle") : QStringLiteral("DerbyNimbus"))
                ->setChecked(true);
            dialog.pages()->setCurrentIndex(1);
            dialog.findChild<QLineEdit*>(QStringLiteral("TableName"))->setText(QString::fromStdString(base));
            scoped.prompts.credentialReplies = {{DialogResult::Ok, sqlite.user, ""}};
            dialog.findChild<QPushButton*>(QStringLiteral("Create"))->click();
            QCOMPARE(scoped.prompts.messageTexts(), std::vector<std::string>{"Table created successfully"});

            const auto made = querySql(sqlite, "select sql from sqlite_master where name = '" + base + "'");
            QCOMPARE(made.size(), std::size_t{1});
            std::string expected = createTableStatement(TableKind::MountHistory, base, Dialect(chosen));
            expected.erase(expected.find_last_of(')') + 1);
            QCOMPARE(made[0][0].value_or(""), expected);
            QCOMPARE(scoped.app().settings.DatabaseType, stored); // nothing is stored before OK
            dropTables(base, sqlite.dsn, sqlite.user, "", nullptr);
        }
    }

    void leavingTheDatabasePageMakesTheNameTheDataSource()
    {
        ScopedApp scoped;
        SetupChoice initial;
        CSetupDlg dialog(initial);
        dialog.findChild<QLineEdit*>(QStringLiteral("DatabaseName"))->setText(QStringLiteral("OtherDsn"));
        dialog.pages()->setCurrentIndex(1);
        QCOMPARE(scoped.app().settings.databaseName, std::string("OtherDsn"));
    }
};

QTEST_MAIN(SetupDialogTest)
#include "SetupDialogTest.moc"
