#include "CHelpViewer.h"

#include "app/Help.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

CHelpViewer& CHelpViewer::instance()
{
    // A viewer that went with a dialog it belonged to is made again.
    static QPointer<CHelpViewer> viewer;
    if (viewer.isNull())
        viewer = new CHelpViewer;
    return *viewer;
}

CHelpViewer::CHelpViewer()
    : QWidget(nullptr, Qt::Window), m_browser(new QTextBrowser(this)), m_findBox(new QLineEdit(this)),
      m_findResult(new QLabel(this))
{
    // The pages live in the gui library; a static library's resources are registered by hand.
    Q_INIT_RESOURCE(vaultline);
    setObjectName(QStringLiteral("CHelpViewer"));
    setWindowTitle(tr("Vaultline Help"));
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_findBox->setObjectName(QStringLiteral("HelpFind"));
    m_findBox->setPlaceholderText(tr("Find in this page"));
    m_findBox->setClearButtonEnabled(true);
    auto* findRow = new QHBoxLayout;
    findRow->setContentsMargins(6, 4, 6, 4);
    findRow->addWidget(new QLabel(tr("Find:"), this));
    findRow->addWidget(m_findBox, 1);
    findRow->addWidget(m_findResult);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(findRow);
    layout->addWidget(m_browser, 1);
    resize(720, 620);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        m_page = url.fileName();
        setWindowTitle(m_browser->documentTitle().isEmpty() ? tr("Vaultline Help")
                                                            : m_browser->documentTitle() + tr(" - Vaultline Help"));
    });
    connect(m_findBox, &QLineEdit::returnPressed, this, &CHelpViewer::findNext);
    connect(m_findBox, &QLineEdit::textChanged, this, [this] { m_findResult->clear(); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_findBox->setFocus();
        m_findBox->selectAll();
    });
    auto* next = new QShortcut(QKeySequence(QStringLiteral("F3")), this);
    connect(next, &QShortcut::activated, this, &CHelpViewer::findNext);
}

bool CHelpViewer::findNext()
{
    const QString text = m_findBox->text();
    if (text.isEmpty())
        return false;
    bool found = m_browser->find(text);
    if (!found) {
        m_browser->moveCursor(QTextCursor::Start);
        found = m_browser->find(text);
    }
    m_findResult->setText(found ? QString() : tr("Not found"));
    return found;
}

void CHelpViewer::showAddress(const std::string& address)
{
    followModalDialog();
    const QString page = QString::fromStdString(pageOfHelpAddress(address));
    if (QFile::exists(QStringLiteral(":/help/") + page)) {
        m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
    } else {
        m_page = page;
        m_browser->setHtml(
            tr("<h2>Help page not found</h2><p>The help has no page named <tt>%1</tt>.</p>").arg(page.toHtmlEscaped()));
    }
    bringToFront();
}

void CHelpViewer::bringToFront()
{
    // A viewer closed by its window's close button is only hidden; one minimised, or unmapped
    // behind Qt's back (no window manager, or one that withdrew it), still counts as shown and
    // a plain show() would leave it where nobody sees it: it is shown anew.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (isVisible() && windowHandle() != nullptr && !windowHandle()->isExposed())
        hide();
    show();
    raise();
    activateWindow();
}

void CHelpViewer::followModalDialog()
{
    // A modal dialog blocks every window but its own: the viewer becomes one of them until the
    // dialog is hidden.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == m_dialog)
        return;
    if (m_dialog)
        m_dialog->removeEventFilter(this);
    const bool shown = isVisible();
    const QRect place = geometry();
    setParent(modal, Qt::Window);
    setGeometry(place);
    m_dialog = modal;
    modal->installEventFilter(this);
    if (shown)
        show();
}

void CHelpViewer::becomeTopLevel()
{
    const bool shown = isVisible();
    const QRect place = geometry();
    if (m_dialog)
        m_dialog->removeEventFilter(this);
    m_dialog = nullptr;
    setParent(nullptr, Qt::Window);
    setGeometry(place);
    if (shown)
        show();
}

bool CHelpViewer::eventFilter(QObject* watched, QEvent* event)
{
    // The page stays open when its dialog closes, and follows the dialog under it, if any.
    if (watched == m_dialog && event->type() == QEvent::Hide) {
        becomeTopLevel();
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                followModalDialog();
        });
    }
    return QWidget::eventFilter(watched, event);
}
