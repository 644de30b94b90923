#pragma once

#include "query/QueryClause.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class CQueryData;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QueryRun;

// The query form: eight condition rows, the table choice, the generated clause, and Query or
// Cancel (Enter in a field is Query). Holds the run it started and stops it through its flags;
// it never waits for a worker: a stopped run ends by itself (see QueryRun).
class CQueryForm : public QWidget {
    Q_OBJECT
public:
    explicit CQueryForm(CQueryData* view, QWidget* parent = nullptr);
    ~CQueryForm() override;

    QCheckBox* rowCheck(QueryRowId id) const { return m_rows[index(id)].check; }
    QComboBox* rowOperator(QueryRowId id) const { return m_rows[index(id)].comparison; }
    QLineEdit* rowValue(QueryRowId id) const { return m_rows[index(id)].value; } // none for date and time
    QDateEdit* dateEdit() const { return m_date; }
    QTimeEdit* timeEdit() const { return m_time; }
    QComboBox* tableChoice() const { return m_table; }
    QPlainTextEdit* generatedQuery() const { return m_generated; }
    QPushButton* queryButton() const { return m_query; }
    QPushButton* cancelButton() const { return m_cancel; }

    // What the controls hold now.
    QueryFormFields fields() const;
    bool isRunning() const;
    // The last run started, if any: its flags and, once finished, how it ended.
    const QueryRun* lastRun() const { return m_run.get(); }
    std::shared_ptr<QueryRun> lastRunShared() const { return m_run; }

    // The window is going: the run stops without drawing and its statement is cancelled at the
    // database. Returns at once.
    void stopForClose();

public slots:
    void onQuery();
    void onCancel();
    void onTableChosen();

public:
    // The worker's last word; a run that is no longer the current one changes nothing.
    void runEnded(const QueryRun* run);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QCheckBox* check = nullptr;
        QComboBox* comparison = nullptr;
        QLineEdit* value = nullptr;
        QWidget* valueWidget = nullptr;
    };
    static std::size_t index(QueryRowId id) { return static_cast<std::size_t>(id); }

    void buildRows(class QGridLayout* grid);
    void showRunning(bool running);

    QPointer<CQueryData> m_view;
    std::array<Row, QueryRowCount> m_rows;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QComboBox* m_table = nullptr;
    QPlainTextEdit* m_generated = nullptr;
    QPushButton* m_query = nullptr;
    QPushButton* m_cancel = nullptr;
    std::shared_ptr<QueryRun> m_run;
};
