#include "CQueryForm.h"

#include "CQueryData.h"
#include "CQueryDataSink.h"
#include "QueryRun.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "query/QueryTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

// Rows 0 to 3 fill the left half of the form, 4 to 7 the right half.
constexpr int RowsPerHalf = 4;
} // namespace

CQueryForm::CQueryForm(CQueryData* view, QWidget* parent) : QWidget(parent), m_view(view)
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->setSpacing(14);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    buildRows(grid);
    outer->addLayout(grid);

    auto* side = new QVBoxLayout;
    side->setSpacing(3);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(new QLabel(text(query_texts::TableLabel)));
    m_table = new QComboBox;
    m_table->addItems({text(query_texts::MountHistory), text(query_texts::LibraryPerformance)});
    tableRow->addWidget(m_table, 1);
    side->addLayout(tableRow);
    side->addWidget(new QLabel(text(query_texts::GeneratedQuery)));
    m_generated = new QPlainTextEdit;
    m_generated->setReadOnly(true);
    m_generated->setMinimumWidth(220);
    m_generated->setFixedHeight(m_generated->fontMetrics().lineSpacing() * 3 + 10);
    side->addWidget(m_generated);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_query = new QPushButton(text(query_texts::QueryButton));
    m_cancel = new QPushButton(text(query_texts::CancelButton));
    m_query->setDefault(true);
    m_cancel->hide();
    buttons->addWidget(m_query);
    buttons->addWidget(m_cancel);
    side->addLayout(buttons);
    side->addStretch();
    outer->addLayout(side, 1);

    connect(m_query, &QPushButton::clicked, this, &CQueryForm::onQuery);
    connect(m_cancel, &QPushButton::clicked, this, &CQueryForm::onCancel);
    connect(m_table, &QComboBox::currentIndexChanged, this, &CQueryForm::onTableChosen);
    // Enter in a field is the default button: Query while idle, nothing while a run is under
    // way.
    for (const Row& row : m_rows)
        for (QWidget* field :
             {static_cast<QWidget*>(row.check), static_cast<QWidget*>(row.comparison), row.valueWidget})
            field->installEventFilter(this);
    m_table->installEventFilter(this);
}

bool CQueryForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!isRunning() && m_query->isEnabled())
                onQuery();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

CQueryForm::~CQueryForm()
{
    stopForClose();
}

void CQueryForm::buildRows(QGridLayout* grid)
{
    const QueryDateTime now = QueryDateTime::now();
    for (const QueryRowInfo& info : queryFormRows()) {
        Row& row = m_rows[index(info.id)];
        const int line = static_cast<int>(index(info.id)) % RowsPerHalf;
        const int first = static_cast<int>(index(info.id)) < RowsPerHalf ? 0 : 3;
        row.check = new QCheckBox(text(info.label));
        row.comparison = new QComboBox;
        for (const std::string& comparison : info.operators)
            row.comparison->addItem(QString::fromStdString(comparison));
        row.comparison->setCurrentText(QStringLiteral("="));
        switch (info.valueKind) {
        case QueryValueKind::DatePicker:
            m_date = new QDateEdit(QDate(now.year, now.month, now.day));
            m_date->setCalendarPopup(true);
            m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            row.valueWidget = m_date;
            break;
        case QueryValueKind::TimePicker:
            m_time = new QTimeEdit(QTime(now.hour, now.minute, now.second));
            m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
            row.valueWidget = m_time;
            break;
        case QueryValueKind::Text:
        case QueryValueKind::UpperCaseText:
            row.value = new QLineEdit;
            row.value->setPlaceholderText(text(info.hint));
            row.value->setToolTip(text(info.hint));
            row.valueWidget = row.value;
            if (info.valueKind == QueryValueKind::UpperCaseText) {
                QLineEdit* edit = row.value;
                connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
                    const int cursor = edit->cursorPosition();
                    edit->setText(typed.toUpper());
                    edit->setCursorPosition(cursor);
                });
            }
            break;
        }
        row.valueWidget->setMinimumWidth(120);
        grid->addWidget(row.check, line, first);
        grid->addWidget(row.comparison, line, first + 1);
        grid->addWidget(row.valueWidget, line, first + 2);
    }
    grid->setColumnMinimumWidth(3, 130);
}

QueryFormFields CQueryForm::fields() const
{
    QueryFormFields fields;
    fields.table = m_table->currentText().toStdString();
    for (const QueryRowInfo& info : queryFormRows()) {
        const Row& row = m_rows[index(info.id)];
        QueryRowChoice& choice = fields.row(info.id);
        choice.checked = row.check->isChecked();
        choice.comparison = row.comparison->currentText().toStdString();
        if (row.value != nullptr)
            choice.value = row.value->text().toStdString();
    }
    const QDate date = m_date->date();
    fields.date.year = date.year();
    fields.date.month = date.month();
    fields.date.day = date.day();
    const QTime time = m_time->time();
    fields.time.hour = time.hour();
    fields.time.minute = time.minute();
    fields.time.second = time.second();
    return fields;
}

bool CQueryForm::isRunning() const
{
    return m_run && !m_run->finished && !m_run->flags.stopped();
}

void CQueryForm::onTableChosen()
{
    const bool mountHistory = isMountHistoryChoice(m_table->currentText().toStdString());
    for (const QueryRowInfo& info : queryFormRows()) {
        if (!info.mountHistoryOnly)
            continue;
        Row& row = m_rows[index(info.id)];
        if (!mountHistory)
            row.check->setChecked(false);
        row.check->setEnabled(mountHistory);
        row.comparison->setEnabled(mountHistory);
        row.valueWidget->setEnabled(mountHistory);
    }
}

void CQueryForm::onQuery()
{
    if (isRunning())
        return;
    if (m_view)
        m_view->clear();
    WaitCursor wait(theApp().prompts());
    const std::optional<GeneratedQuery> query = GenerateQuery(fields());
    if (!query)
        return;
    m_generated->setPlainText(QString::fromStdString(query->whereClause));
    // A cancelled run may still be on its way out; it is not waited for.
    m_run = std::make_shared<QueryRun>();
    auto sink = std::make_shared<CQueryDataSink>(m_view, this, m_run);
    const GeneralQueryRequest request = GeneralQueryRequest::fromSettings(query->mountHistory, query->whereClause);
    showRunning(true);
    m_run->start([sink, request](GeneralQueryFlags& flags) { return GeneralQueryThread(request, *sink, flags); });
}

void CQueryForm::onCancel()
{
    if (m_run)
        m_run->flags.cancel();
    m_cancel->setEnabled(false);
    if (m_view)
        m_view->clear();
    showRunning(false);
}

void CQueryForm::runEnded(const QueryRun* run)
{
    if (run == m_run.get() && !run->flags.stopped())
        showRunning(false);
}

void CQueryForm::showRunning(bool running)
{
    m_query->setVisible(!running);
    m_query->setEnabled(!running);
    m_cancel->setVisible(running);
    m_cancel->setEnabled(running);
}

void CQueryForm::stopForClose()
{
    if (m_view)
        m_view->setClosing();
    if (m_run)
        m_run->flags.cancel(true);
}
