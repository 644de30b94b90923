#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QTextBrowser;

// The one help window. Takes addresses of the form "<help file>::/<page>" and shows the page
// from the help compiled into the program. A find box searches the page (Ctrl+F, Enter and F3
// for the next hit). Opened from a modal dialog, it belongs to that dialog for as long as the
// dialog shows, so that the dialog's modality does not block it.
class CHelpViewer : public QWidget {
    Q_OBJECT
public:
    static CHelpViewer& instance();

    void showAddress(const std::string& address);
    QString currentPage() const { return m_page; }
    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* findBox() const { return m_findBox; }
    // Selects the next occurrence of the find box's text, from the top again after the last.
    bool findNext();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CHelpViewer();
    void followModalDialog();
    void bringToFront();
    void becomeTopLevel();

    QTextBrowser* m_browser;
    QLineEdit* m_findBox;
    QLabel* m_findResult;
    QString m_page;
    QPointer<QWidget> m_dialog;
};
