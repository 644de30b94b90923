#include "app/ApplicationStartup.h"
#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "QtSettingsStore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrix Vaultline"));
    QApplication::setOrganizationName(QStringLiteral("Kestrix"));

    if (!openDebugLogOrExplain(QString::fromLatin1(app_texts::DebugLogName)))
        return -1;

    RunningApplication running = startApplication(QApplication::arguments(), std::make_unique<QtSettingsStore>());
    return QApplication::exec();
}
