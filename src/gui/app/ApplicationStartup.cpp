#include "ApplicationStartup.h"

#include "CMainFrame.h"
#include "QtSettingsStore.h"
#include "QtUserPrompts.h"
#include "WindowRegistry.h"
#include "app/AppTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/Startup.h"
#include "app/SystemError.h"
#include "fleet/FleetWindows.h"

#include <QMessageBox>
#include <QTimer>

bool openDebugLogOrExplain(const QString& path)
{
    int error = theApp().debugLog().open(path.toStdString());
    if (error == 0)
        return true;
    QMessageBox::warning(nullptr, QString::fromLatin1(ApplicationTitle),
                         QString::fromStdString(debugLogOpenFailure(path.toStdString(), error)));
    return false;
}

RunningApplication startApplication(const QString& commandLine, std::unique_ptr<QtSettingsStore> settings)
{
    CQmxApp& app = theApp();
    RunningApplication running;
    running.settings = std::move(settings);
    running.prompts = std::make_unique<QtUserPrompts>();
    app.setSettingsStore(running.settings.get());
    app.setPrompts(running.prompts.get());

    if (commandLineWantsDebug(commandLine.toStdString())) {
        app.prompts().showMessage(app_texts::DebuggingOn, MessageIcon::Information);
        app.DebugLevel = 2;
    }
    app.settings = readAppSettings(*running.settings);

    running.mainFrame = std::make_unique<CMainFrame>();
    registerWindowKinds(*running.mainFrame);
    installOverviewAfterConnect(*running.mainFrame);
    running.prompts->setParentWidget(running.mainFrame.get());
    running.mainFrame->show();
    app.mountHistoryTableVerified = false;

    CMainFrame* frame = running.mainFrame.get();
    QTimer::singleShot(0, frame, [frame] {
        if (decideStartup(theApp().settings) == StartupAction::Connect)
            frame->onConnect();
        else
            frame->onSetup();
    });
    app.startupComplete = true;
    app.versionText = VersionText;
    return running;
}
