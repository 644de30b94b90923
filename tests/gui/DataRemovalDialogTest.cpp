#include "ScopedApp.h"
#include "app/CHelpViewer.h"
#include "db/Tables.h"
#include "setup/CDeleteDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

namespace {
QStringList treeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (int top = 0; top < tree->topLevelItemCount(); ++top) {
        QTreeWidgetItem* library = tree->topLevelItem(top);
        texts << library->text(0);
        for (int child = 0; child < library->childCount(); ++child)
            texts << QStringLiteral("  ") + library->child(child)->text(0);
    }
    return texts;
}

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& library, const QString& entry = QString())
{
    for (int top = 0; top < tree->topLevelItemCount(); ++top) {
        QTreeWidgetItem* item = tree->topLevelItem(top);
        if (item->text(0) != library)
            continue;
        if (entry.isEmpty())
            return item;
        for (int child = 0; child < item->childCount(); ++child)
            if (item->child(child)->text(0) == entry)
                return item->child(child);
    }
    return nullptr;
}
} // namespace

class DataRemovalDialogTest : public QObject {
    Q_OBJECT
private slots:
    void byDriveTreeDeletesTheDriveAndRebuilds()
    {
        for (const TestBackend& backend : testBackends()) {
            if (!backend.available)
                continue;
            ScopedApp scoped;
            const std::string base = uniqueTableName("removaldlg");
            scoped.useBackend(backend, base, 2);
            QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
            for (const char* values : {"('10.0.0.1', '2026-12-07', '10:00:00', 'CL0001', 3, 12)",
                                       "('10.0.0.1', '2026-12-07', '10:05:00', 'CL0002', 1, 2)",
                                       "('10.0.0.2', '2026-12-07', '10:00:00', 'CL0001', 3, 12)"})
                QVERIFY(executeSql(backend, "INSERT INTO " + base
                                                + " (ipAddress, Date, Time, Volser, Frame, Drive) "
                                                  "VALUES "
                                                + values));

            CDeleteDialog dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Data Removal Options"));
            QCOMPARE(dialog.tree()->topLevelItemCount(), 0);
            dialog.findChild<QRadioButton*>(QStringLiteral("ByDrive"))->setChecked(true);
            QCOMPARE(treeTexts(dialog.tree()), (QStringList{"10.0.0.1", "  Frame: 1  Drive: 2", "  Frame: 3  Drive: 12",
                                                            "10.0.0.2", "  Frame: 3  Drive: 12"}));

            // A library selected: the selection message, and nothing goes.
            auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("Delete"));
            dialog.tree()->setCurrentItem(findItem(dialog.tree(), QStringLiteral("10.0.0.1")));
            remove->click();
            QCOMPARE(scoped.prompts.messageTexts(),
                     std::vector<std::string>{"Please selet a volser or drive information to delete."});

            scoped.prompts.yesNoReplies = {true};
            dialog.tree()->setCurrentItem(
                findItem(dialog.tree(), QStringLiteral("10.0.0.1"), QStringLiteral("Frame: 3  Drive: 12")));
            remove->click();
            QCOMPARE(scoped.prompts.questions().back(),
                     std::string("Are you sure you want to delete data entries including:\nIP: 10.0.0.1  Frame: 3  "
                                 "Drive: 12\n1 entry will be deleted from ")
                         + base + ".");
            QCOMPARE(scoped.prompts.messageTexts().back(), std::string("Entries successfully deleted."));
            QCOMPARE(treeTexts(dialog.tree()),
                     (QStringList{"10.0.0.1", "  Frame: 1  Drive: 2", "10.0.0.2", "  Frame: 3  Drive: 12"}));
            QCOMPARE(countRows(backend, base), 2LL);

            // By volser the same libraries list their cartridges.
            dialog.findChild<QRadioButton*>(QStringLiteral("ByVolser"))->setChecked(true);
            QCOMPARE(treeTexts(dialog.tree()), (QStringList{"10.0.0.1", "  CL0002", "10.0.0.2", "  CL0001"}));
            dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
        }
    }

    void helpFromTheModalDialogCanBeUsedWhileItIsOpen()
    {
        ScopedApp scoped;
        CDeleteDialog dialog;
        bool helpWasUsable = false;
        QString typed;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.activateWindow();
            if (!QTest::qWaitForWindowActive(&dialog)) {
                dialog.reject();
                return;
            }
            QTest::keyClick(dialog.windowHandle(), Qt::Key_F1);
            CHelpViewer& viewer = CHelpViewer::instance();
            if (viewer.currentPage() != QStringLiteral("lvr1_deletedatahelp_3tzdgo.html") || !viewer.isVisible()) {
                dialog.reject();
                return;
            }
            // Keys reach the viewer's find box through its window, where a modal block would stop them.
            viewer.findBox()->setFocus();
            QTest::keyClick(viewer.windowHandle(), Qt::Key_V);
            QTest::keyClick(viewer.windowHandle(), Qt::Key_O);
            QTest::keyClick(viewer.windowHandle(), Qt::Key_L);
            typed = viewer.findBox()->text();
            helpWasUsable = viewer.findNext();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(typed.toLower(), QStringLiteral("vol"));
        QVERIFY(helpWasUsable);
        QVERIFY(!CHelpViewer::instance().browser()->textCursor().selectedText().isEmpty());
        // The page stays open after the dialog, as a window of its own.
        QVERIFY(CHelpViewer::instance().isVisible());
        QCOMPARE(CHelpViewer::instance().parentWidget(), nullptr);
        CHelpViewer::instance().close();
    }
};

QTEST_MAIN(DataRemovalDialogTest)
#include "DataRemovalDialogTest.moc"
