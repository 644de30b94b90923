#include "CHelpViewer.h"

#include "app/Help.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpViewer& CHelpViewer::instance()
{
    static CHelpViewer* viewer = new CHelpViewer;
    return *viewer;
}

CHelpViewer::CHelpViewer() : QWidget(nullptr, Qt::Window), m_browser(new QTextBrowser(this))
{
    // The pages live in the gui library; a static library's resources are registered by hand.
    Q_INIT_RESOURCE(vaultline);
    setObjectName(QStringLiteral("CHelpViewer"));
    setWindowTitle(tr("Vaultline Help"));
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 620);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        m_page = url.fileName();
        setWindowTitle(m_browser->documentTitle().isEmpty() ? tr("Vaultline Help")
                                                            : m_browser->documentTitle() + tr(" - Vaultline Help"));
    });
}

void CHelpViewer::showAddress(const std::string& address)
{
    const QString page = QString::fromStdString(pageOfHelpAddress(address));
    if (QFile::exists(QStringLiteral(":/help/") + page)) {
        m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
    } else {
        m_page = page;
        m_browser->setHtml(tr("<h2>Help page not found</h2><p>The help has no page named <tt>%1</tt>.</p>")
                               .arg(page.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
}
