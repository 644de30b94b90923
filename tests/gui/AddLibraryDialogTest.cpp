// The library address dialog of Start Monitoring refuses an address the tables cannot hold.

#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/CAddLibraryDlg.h"
#include "library/MonitorAddressList.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

class AddLibraryDialogTest : public QObject {
    Q_OBJECT
private slots:
    void tooLongAddressKeepsTheDialogOpen()
    {
        ScopedApp scoped;
        const TestBackend backend = testBackends().front();
        const std::string base = uniqueTableName("addlibrary");
        scoped.useBackend(backend, base);
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);

        // Once the dialog runs: OK on a long name, then on one that fits.
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CAddLibraryDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            auto* addresses = dialog->findChild<QComboBox*>(QStringLiteral("IpAddress"));
            addresses->setCurrentText(QStringLiteral("  tapelib2.example.net "));
            dialog->accept();
            stayedOpen = dialog->isVisible() && dialog->result() != QDialog::Accepted;
            addresses->setCurrentText(QStringLiteral("10.20.1.15"));
            dialog->accept();
        });
        const auto choice = CAddLibraryDlg::ask(nullptr, libraryAddressProblem);
        QVERIFY(stayedOpen);
        QVERIFY(choice.has_value());
        QCOMPARE(choice->entered, std::string("10.20.1.15"));
        const std::vector<std::string> shown = scoped.prompts.messageTexts();
        QCOMPARE(shown.size(), std::size_t{1});
        QVERIFY(shown[0].starts_with("The library name or address \"tapelib2.example.net\" is longer than 15"));
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }
};

QTEST_MAIN(AddLibraryDialogTest)
#include "AddLibraryDialogTest.moc"
