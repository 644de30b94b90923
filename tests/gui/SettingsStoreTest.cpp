#include "TestDatabases.h"
#include "app/AppSettings.h"
#include "QtSettingsStore.h"

#include <QFile>
#include <QTest>

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void roundTripUsesTheExactSectionsAndEntries()
    {
        TemporaryFolder folder;
        const QString path = QString::fromStdString(folder.file("Kestrix Vaultline.ini"));
        {
            QtSettingsStore store(path);
            store.write("Connection", "Username", "operator");
            store.write("Setup", "Database Name", "Vaultline");
            store.write("Setup", "Database Type", "2");
            store.write("Setup", "Date Format", "abc");
            store.write("Setup", "Mount History Table Name", "TL, \"main\"");
        }
        QFile file(path);
        // Other local users must not read which database and user the site has.
        QCOMPARE(
            file.permissions()
                & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadOwner | QFileDevice::WriteOwner),
            QFileDevice::Permissions());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[Connection]"));
        QVERIFY(text.contains("[Setup]"));
        QVERIFY(text.contains("Username=operator"));
        QVERIFY(text.contains("Database%20Type=2"));

        QtSettingsStore reread(path);
        AppSettings settings = readAppSettings(reread);
        QCOMPARE(settings.userName, std::string("operator"));
        QCOMPARE(settings.databaseName, std::string("Vaultline"));
        QCOMPARE(settings.DatabaseType, 2);
        QCOMPARE(settings.DateFormatCode, 0);
        QCOMPARE(settings.dateOutputFormat, std::string());
        QCOMPARE(settings.mountHistoryTableName, std::string("TL, \"main\""));
        QCOMPARE(reread.read("Setup", "Missing Entry"), std::string());
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"
