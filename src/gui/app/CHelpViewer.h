#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

// The one help window. Takes addresses of the form "<help file>::/<page>" and shows the page
// from the help compiled into the program.
class CHelpViewer : public QWidget {
    Q_OBJECT
public:
    static CHelpViewer& instance();

    void showAddress(const std::string& address);
    QString currentPage() const { return m_page; }
    QTextBrowser* browser() const { return m_browser; }

private:
    CHelpViewer();

    QTextBrowser* m_browser;
    QString m_page;
};
