#include "HelpShortcut.h"

#include "CHelpViewer.h"

#include <QApplication>
#include <QShortcut>

void addHelpShortcut(QWidget* dialog, std::function<HelpContext()> context)
{
    for (const char* key : {"F1", "Shift+F1"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key)), dialog);
        QObject::connect(shortcut, &QShortcut::activated, dialog, [context] { showHelpPage(context()); });
    }
}

void showHelpPage(HelpContext context)
{
    CHelpViewer::instance().showAddress(
        helpAddress(helpFileFor(QApplication::applicationFilePath().toStdString()), context));
}
