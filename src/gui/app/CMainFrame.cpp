#include "CMainFrame.h"

#include "CChildWindow.h"
#include "CHelpViewer.h"
#include "HelpShortcut.h"
#include "QtUserPrompts.h"
#include "app/AppTexts.h"
#include "app/CQmxApp.h"
#include "app/Startup.h"
#include "app/UserPrompts.h"
#include "app/WindowArrangement.h"
#include "db/ConnectCommand.h"
#include "setup/CSetupDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {
QKeySequence shortcutOf(const std::string& text)
{
    const auto tab = text.find('\t');
    return tab == std::string::npos ? QKeySequence() : QKeySequence(QString::fromStdString(text.substr(tab + 1)));
}

QString menuTextOf(const std::string& text)
{
    return QString::fromStdString(text.substr(0, text.find('\t')));
}
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    // The program's own icon; the style's where Qt's SVG plugin is missing.
    const QIcon icon(QStringLiteral(":/icons/vaultline.svg"));
    setWindowIcon(icon.pixmap(32).isNull() ? QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon) : icon);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    createActions();
    createToolBar();
    createStatusBar();
    rebuildMenuBar();

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        rebuildMenuBar();
        refreshWindowMenu();
        updateCommands();
        showActiveStatus();
    });
    // Like an idle handler: enabling follows the flags that workers change, too.
    m_updateTimer = new QTimer(this);
    connect(m_updateTimer, &QTimer::timeout, this, &CMainFrame::updateCommands);
    m_updateTimer->start(250);

    resize(1100, 720);
    updateCommands();
}

CMainFrame::~CMainFrame()
{
    // Child windows go after this object's own state: they must not call back into it.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        disconnect(window, nullptr, this, nullptr);
    m_updateTimer->stop();
}

void CMainFrame::createActions()
{
    for (const CommandInfo& info : allCommands()) {
        if (info.id == CommandId::Separator)
            continue;
        auto* action = new QAction(menuTextOf(info.text), this);
        action->setObjectName(QString::fromLatin1(info.objectName));
        action->setStatusTip(QString::fromLatin1(info.statusText));
        action->setShortcut(shortcutOf(info.text));
        const CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions[id] = action;
    }
    // The standard accelerators that have no menu item of their own.
    action(CommandId::Copy)
        ->setShortcuts({QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Ins"))});
    action(CommandId::Paste)
        ->setShortcuts({QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Shift+Ins"))});
    auto* contextHelp = new QAction(this);
    contextHelp->setShortcuts({QKeySequence(QStringLiteral("F1")), QKeySequence(QStringLiteral("Shift+F1"))});
    connect(contextHelp, &QAction::triggered, this, &CMainFrame::onContextHelp);
    addAction(contextHelp);
    auto* nextPane = new QAction(this);
    nextPane->setShortcuts({QKeySequence(QStringLiteral("F6")), QKeySequence(QStringLiteral("Ctrl+Tab"))});
    connect(nextPane, &QAction::triggered, m_mdiArea, &QMdiArea::activateNextSubWindow);
    addAction(nextPane);
    auto* previousPane = new QAction(this);
    previousPane->setShortcut(QKeySequence(QStringLiteral("Shift+F6")));
    connect(previousPane, &QAction::triggered, m_mdiArea, &QMdiArea::activatePreviousSubWindow);
    addAction(previousPane);

    action(CommandId::Connect)->setCheckable(true);
    action(CommandId::ViewToolbar)->setCheckable(true);
    action(CommandId::ViewStatusBar)->setCheckable(true);
    action(CommandId::ViewToolbar)->setChecked(true);
    action(CommandId::ViewStatusBar)->setChecked(true);

    QStyle* style = QApplication::style();
    action(CommandId::StartMonitoring)->setIcon(style->standardIcon(QStyle::SP_MediaPlay));
    action(CommandId::Save)->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    action(CommandId::Copy)->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    action(CommandId::Paste)->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    action(CommandId::Print)->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    action(CommandId::About)->setIcon(style->standardIcon(QStyle::SP_MessageBoxInformation));

    setCommandHandler(CommandId::Setup, [this] { onSetup(); });
    setCommandHandler(CommandId::Connect, [this] { onConnect(); });
    setCommandHandler(CommandId::Disconnect, [this] { onDisconnect(); });
    setCommandHandler(CommandId::About, [this] { onAbout(); });
    setCommandHandler(CommandId::HelpTopics, [this] { onHelpTopics(); });
    setCommandHandler(CommandId::Exit, [this] { close(); });
    setCommandHandler(CommandId::Close, [this] { m_mdiArea->closeActiveSubWindow(); });
    setCommandHandler(CommandId::Cascade, [this] { cascadeChildWindows(); });
    setCommandHandler(CommandId::Tile, [this] { m_mdiArea->tileSubWindows(); });
    setCommandHandler(CommandId::ArrangeIcons, [this] {
        for (QMdiSubWindow* window : m_mdiArea->subWindowList())
            if (window->isMinimized())
                window->showMinimized();
    });
    setCommandHandler(CommandId::ViewToolbar,
                      [this] { findChild<QToolBar*>()->setVisible(action(CommandId::ViewToolbar)->isChecked()); });
    setCommandHandler(CommandId::ViewStatusBar,
                      [this] { statusBar()->setVisible(action(CommandId::ViewStatusBar)->isChecked()); });
    setCommandHandler(CommandId::Save, [this] {
        if (CChildWindow* child = activeChild())
            child->save();
    });
    setCommandHandler(CommandId::SaveAs, [this] {
        if (CChildWindow* child = activeChild())
            child->saveAs();
    });
    setCommandHandler(CommandId::PrintSetup, [this] {
        QPageSetupDialog dialog(&printer(), this);
        dialog.exec();
    });
    setCommandHandler(CommandId::Print, [this] {
        CChildWindow* child = activeChild();
        QPrintDialog dialog(&printer(), this);
        if (child != nullptr && dialog.exec() == QDialog::Accepted)
            child->print(printer());
    });
    setCommandHandler(CommandId::PrintPreview, [this] {
        CChildWindow* child = activeChild();
        if (child == nullptr)
            return;
        QPrintPreviewDialog preview(&printer(), this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, child,
                [child](QPrinter* target) { child->print(*target); });
        preview.exec();
    });
    setCommandHandler(CommandId::Find, [this] {
        if (CChildWindow* child = activeChild())
            child->find();
    });
    setCommandHandler(CommandId::FindNext, [this] {
        if (CChildWindow* child = activeChild())
            child->findNext();
    });
    setCommandHandler(CommandId::Replace, [this] {
        if (CChildWindow* child = activeChild())
            child->replace();
    });
    setCommandHandler(CommandId::Undo, [this] { forwardToFocus("undo"); });
    setCommandHandler(CommandId::Cut, [this] { forwardToFocus("cut"); });
    setCommandHandler(CommandId::Copy, [this] { forwardToFocus("copy"); });
    setCommandHandler(CommandId::Paste, [this] { forwardToFocus("paste"); });
    setCommandHandler(CommandId::SelectAll, [this] { forwardToFocus("selectAll"); });
}

void CMainFrame::createToolBar()
{
    auto* toolbar = addToolBar(tr("Standard"));
    toolbar->setObjectName(QStringLiteral("Toolbar"));
    toolbar->setMovable(true);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (CommandId id : toolbarCommands()) {
        if (id == CommandId::Separator)
            toolbar->addSeparator();
        else
            toolbar->addAction(action(id));
    }
}

void CMainFrame::createStatusBar()
{
    m_monitorPane = new QLabel(QString::fromLatin1(MonitorPaneSizingText));
    m_monitorPane->setObjectName(QStringLiteral("MonitorPane"));
    m_monitorPane->setMinimumWidth(m_monitorPane->fontMetrics().horizontalAdvance(m_monitorPane->text()) + 12);
    m_monitorPane->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(m_monitorPane);
    for (const char* key : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(key));
        pane->setAlignment(Qt::AlignCenter);
        pane->setEnabled(false);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        statusBar()->addPermanentWidget(pane);
    }
    statusBar()->showMessage(tr("Ready"));
}

void CMainFrame::rebuildMenuBar()
{
    CChildWindow* child = activeChild();
    m_currentBar = menuBarFor(child != nullptr ? child->windowKind() : ActiveWindowKind::None);
    QMenuBar* bar = menuBar();
    bar->clear();
    // The menus of the bar before go with it (later: one of them may be what triggered this).
    for (QMenu* menu : std::as_const(m_menus))
        menu->deleteLater();
    m_menus.clear();
    m_windowMenu = nullptr;
    m_windowListActions.clear();
    for (const MenuInfo& menuInfo : ::menuBar(m_currentBar)) {
        QMenu* menu = bar->addMenu(QString::fromStdString(menuInfo.title));
        m_menus.append(menu);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);
        if (menuInfo.listsWindows) {
            m_windowMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshWindowMenu);
        }
        for (CommandId id : menuInfo.items) {
            if (id == CommandId::Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* item = action(id);
            if (id != CommandId::Save)
                item->setText(menuTextOf(commandText(id, m_currentBar)));
            menu->addAction(item);
        }
    }
}

void CMainFrame::refreshWindowMenu()
{
    if (m_windowMenu == nullptr)
        return;
    // Later, not now: an entry may be the action whose trigger led here.
    for (QAction* entry : std::as_const(m_windowListActions)) {
        m_windowMenu->removeAction(entry);
        entry->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListActions.append(m_windowMenu->addSeparator());
    int position = 0;
    for (QMdiSubWindow* window : windows) {
        QAction* entry = m_windowMenu->addAction(
            QString::fromStdString(windowMenuItemText(++position, window->windowTitle().toStdString())));
        entry->setCheckable(true);
        entry->setChecked(window == m_mdiArea->activeSubWindow());
        const QPointer<QMdiSubWindow> target(window);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                m_mdiArea->setActiveSubWindow(target);
            }
            refreshWindowMenu();
        });
        m_windowListActions.append(entry);
    }
}

void CMainFrame::cascadeChildWindows()
{
    QList<QMdiSubWindow*> windows;
    // Bottom of the stack first, so the active window ends in front, where its steps end.
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::StackingOrder))
        if (!window->isMinimized() && !window->isHidden())
            windows.append(window);
    const QSize area = m_mdiArea->viewport()->size();
    const std::vector<WindowRect> places =
        cascadeWindows(area.width(), area.height(), static_cast<int>(windows.size()));
    for (std::size_t i = 0; i < places.size(); ++i) {
        QMdiSubWindow* window = windows[static_cast<int>(i)];
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(places[i].x, places[i].y, places[i].width, places[i].height);
        window->raise();
    }
}

QAction* CMainFrame::action(CommandId id) const
{
    auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::registerTemplate(const std::string& name, WindowFactory factory)
{
    m_templates[name] = std::move(factory);
}

void CMainFrame::setCommandHandler(CommandId id, std::function<void()> handler)
{
    m_handlers[id] = std::move(handler);
}

void CMainFrame::runCommand(CommandId id)
{
    // A shortcut can fire between two updates: the rule is checked again at the moment of use.
    if (!commandEnabled(id, commandState())) {
        updateCommands();
        return;
    }
    auto handler = m_handlers.find(id);
    if (handler != m_handlers.end())
        handler->second();
    else if (auto name = templateForCommand(id))
        openTemplate(*name);
    updateCommands();
}

CChildWindow* CMainFrame::openTemplate(const std::string& name)
{
    auto found = m_templates.find(name);
    if (found == m_templates.end())
        return nullptr;
    CChildWindow* child = found->second(*this);
    if (child == nullptr)
        return nullptr;
    const int number = ++m_windowNumbers[name];
    addChildWindow(child, QString::fromStdString(name) + QString::number(number));
    return child;
}

QMdiSubWindow* CMainFrame::addChildWindow(CChildWindow* child, const QString& title)
{
    if (child->windowTitle().isEmpty())
        child->setWindowTitle(title);
    child->setAttribute(Qt::WA_DeleteOnClose);
    const QMdiSubWindow* previous = m_mdiArea->activeSubWindow();
    QMdiSubWindow* window = m_mdiArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // As large as the window asks for, within the main window's area; a step down and right
    // of the window that was active, so that a new window never hides the one before it
    // exactly; back at the corner when the step would leave too little room.
    const QSize area = m_mdiArea->viewport()->size();
    const QSize wanted = window->sizeHint().expandedTo(QSize(760, 480));
    QPoint position(0, 0);
    if (previous != nullptr && !area.isEmpty()) {
        position = previous->pos() + QPoint(CascadeStep, CascadeStep);
        if (position.x() + 400 > area.width() || position.y() + 300 > area.height())
            position = QPoint(0, 0);
    }
    const QSize room = area - QSize(position.x(), position.y());
    window->resize(area.isEmpty() ? wanted : wanted.boundedTo(room));
    window->move(position);
    window->show();
    connect(child, &QWidget::windowTitleChanged, this, &CMainFrame::updateCommands);
    connect(child, &QWidget::windowTitleChanged, this, &CMainFrame::refreshWindowMenu);
    // A window closed without a change of the active one still leaves the list.
    connect(window, &QObject::destroyed, this,
            [this] { QMetaObject::invokeMethod(this, &CMainFrame::refreshWindowMenu, Qt::QueuedConnection); });
    refreshWindowMenu();
    connect(child, &CChildWindow::statusTextChanged, this, &CMainFrame::showActiveStatus);
    return window;
}

void CMainFrame::showActiveStatus()
{
    const CChildWindow* child = activeChild();
    const QString text = child != nullptr ? child->statusText() : QString();
    statusBar()->showMessage(text.isEmpty() ? tr("Ready") : text);
}

CChildWindow* CMainFrame::activeChild() const
{
    QMdiSubWindow* window = m_mdiArea->activeSubWindow();
    return window != nullptr ? qobject_cast<CChildWindow*>(window->widget()) : nullptr;
}

QPrinter& CMainFrame::printer()
{
    // One printer set-up for the session, as Print Setup... chose it.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

CommandState CMainFrame::commandState() const
{
    const CQmxApp& app = theApp();
    CChildWindow* child = activeChild();
    CommandState state;
    state.connected = app.connected.load();
    state.connectSettingsComplete = connectSettingsComplete(
        app.settings.databaseName, app.settings.mountHistoryTableName, app.settings.dateOutputFormat);
    state.activeKind = child != nullptr ? child->windowKind() : ActiveWindowKind::None;
    state.activeTitle = child != nullptr ? child->windowTitle().toStdString() : "";
    return state;
}

void CMainFrame::updateCommands()
{
    const CommandState state = commandState();
    for (auto& [id, item] : m_actions)
        item->setEnabled(commandEnabled(id, state));
    action(CommandId::Connect)->setChecked(state.connected);

    auto saveText = saveCommandText(state.activeTitle, state.activeKind == ActiveWindowKind::Monitor);
    action(CommandId::Save)->setText(menuTextOf(saveText.value_or(commandInfo(CommandId::Save).text)));
    m_monitorPane->setText(QString::fromStdString(monitorPaneText(theApp().activeMonitors.load())));
}

void CMainFrame::forwardToFocus(const char* slot)
{
    if (QWidget* focus = QApplication::focusWidget())
        QMetaObject::invokeMethod(focus, slot);
}

void CMainFrame::onSetup()
{
    runSetupCommand([this](const SetupChoice& initial) { return CSetupDlg::ask(initial, this); });
}

void CMainFrame::onConnect()
{
    if (runConnectCommand() && m_afterConnect)
        m_afterConnect();
}

void CMainFrame::onDisconnect()
{
    runDisconnectCommand();
}

void CMainFrame::onAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(QString::fromLatin1(app_texts::AboutTitle));
    box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.setText(QString::fromLatin1(app_texts::AboutTextPrefix) + QString::fromStdString(theApp().versionText));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CMainFrame::showHelp(HelpContext context)
{
    showHelpPage(context);
}

void CMainFrame::onHelpTopics()
{
    showHelp(HelpContext::Other);
}

void CMainFrame::onContextHelp()
{
    CChildWindow* child = activeChild();
    showHelp(child != nullptr ? child->helpContext() : HelpContext::MainWindow);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!theApp().prompts().askYesNo(app_texts::ExitQuestion, MessageIcon::Exclamation)) {
        event->ignore();
        return;
    }
    {
        WaitCursor wait(theApp().prompts());
        // Monitors are stopped and waited for before any window goes.
        for (QMdiSubWindow* window : m_mdiArea->subWindowList())
            if (auto* child = qobject_cast<CChildWindow*>(window->widget()))
                child->stopForExit();
        emit exiting();
    }
    m_updateTimer->stop();
    m_mdiArea->closeAllSubWindows();
    CHelpViewer::instance().close();
    event->accept();
}
