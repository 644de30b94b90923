#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QDateEdit;
class QPushButton;
class QTreeWidget;
class ReportWorker;

// The date range form above every report: the two dates, the libraries to report on (checked
// rows of the IP address list), "Generate Report" and the "Cancel" that takes its place while a
// report runs.
class CDateForm : public QWidget {
    Q_OBJECT
public:
    explicit CDateForm(QWidget* parent = nullptr);
    ~CDateForm() override;

    // Fills the address list from the database, off the UI thread; the rows arrive unchecked.
    void FillReportIpList();
    // The addresses shown (for tests and the window), and the checked ones in list order.
    std::vector<std::string> addresses() const;
    std::vector<std::string> checkedAddresses() const;
    void setAddresses(const std::vector<std::string>& addresses);
    void setChecked(const std::string& address, bool checked);

    std::string beginDate() const; // "YYYY-MM-DD"
    std::string endDate() const;
    void setDates(const std::string& begin, const std::string& end);

    // Running: "Generate Report" hidden, "Cancel" shown; idle the other way round.
    void setRunning(bool running);
    bool running() const;

    QPushButton* generateButton() const { return m_generate; }
    QPushButton* cancelButton() const { return m_cancel; }
    QTreeWidget* addressList() const { return m_list; }
    // True while the address list is still being read.
    bool filling() const;

signals:
    void generateRequested();
    void cancelRequested();
    void addressesFilled();

private:
    QDateEdit* m_begin;
    QDateEdit* m_end;
    QPushButton* m_generate;
    QPushButton* m_cancel;
    QTreeWidget* m_list;
    std::unique_ptr<ReportWorker> m_filler;
    bool m_running = false;
};
