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
#include "library/ImportRun.h"
#include "library/StartupImport.h"

#include <QFile>
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

RunningApplication startApplication(const QStringList& arguments, std::unique_ptr<QtSettingsStore> settings)
{
    const QString commandLine = arguments.join(QLatin1Char(' '));
    std::vector<std::string> words;
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument).toStdString());
    const StartupImportArguments startupImport = startupImportFromArguments(words);
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
    QTimer::singleShot(0, frame, [frame, startupImport] {
        const auto connectOrSetup = [frame] {
            if (decideStartup(theApp().settings) == StartupAction::Connect)
                frame->onConnect();
            else
                frame->onSetup();
        };
        if (!startupImport.problem.empty())
            theApp().prompts().showMessage(startupImport.problem, MessageIcon::Exclamation);
        if (startupImport.import)
            runStartupImport(*frame, *startupImport.import, connectOrSetup);
        else
            connectOrSetup();
    });
    app.startupComplete = true;
    app.versionText = VersionText;
    return running;
}
