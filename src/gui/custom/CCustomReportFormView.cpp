#include "CCustomReportFormView.h"

#include "CCustomTableView.h"
#include "CGraphWindow.h"
#include "CTapeAlertWindow.h"
#include "CustomReportWindows.h"
#include "GraphWindows.h"
#include "app/CMainFrame.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "custom/CustomFormTexts.h"
#include "custom/GeneralReportThread.h"
#include "query/QueryRun.h"
#include "query/QueryTexts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace texts = custom_form_texts;

namespace {
QString text(const char* fixed)
{
    return QString::fromLatin1(fixed);
}

void mirror(QComboBox* box, const FormCombo& combo)
{
    const QSignalBlocker blocker(box);
    QStringList items;
    for (const std::string& item : combo.items)
        items << QString::fromStdString(item);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    if (shown != items) {
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(combo.current);
    box->setEnabled(combo.enabled);
    box->setVisible(combo.shown);
}

void mirror(QListWidget* list, const FormList& state)
{
    const QSignalBlocker blocker(list);
    QStringList items;
    for (const std::string& item : state.items)
        items << QString::fromStdString(item);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    if (shown != items) {
        list->clear();
        list->addItems(items);
    }
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(state.selected[static_cast<std::size_t>(row)]);
    list->setEnabled(state.enabled);
    list->setVisible(state.shown);
}

void readSelection(const QListWidget* list, FormList& state)
{
    for (int row = 0; row < list->count() && row < static_cast<int>(state.selected.size()); ++row)
        state.selected[static_cast<std::size_t>(row)] = list->item(row)->isSelected();
}

QListWidget* selectionList()
{
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setMinimumSize(200, 160);
    return list;
}

// Runs a custom report whose output is a message box or a file: the prompts answer from the
// UI thread, so the thread needs no window.
void runDetached(const CustomReportRequest& request)
{
    auto run = std::make_shared<QueryRun>();
    run->start([request](GeneralQueryFlags& flags) {
        CustomReportOutputs outputs;
        outputs.prompts = &theApp().prompts();
        // The program's end stops it before its next statement.
        outputs.stop = &flags.cancelRequested;
        bool ok = false;
        GeneralReportThread(request, outputs, &ok);
        return ok ? GeneralQueryOutcome::Completed : GeneralQueryOutcome::Failed;
    });
}
} // namespace

CCustomReportFormView::CCustomReportFormView(CMainFrame* frame, QWidget* parent)
    : CChildWindow(parent), m_frame(frame), m_form(theApp().prompts())
{
    setObjectName(QStringLiteral("CCustomReportFormView"));
    buildControls();
    connectControls();
    m_form.initialise();
    afterHandler();
}

CCustomReportFormView::~CCustomReportFormView() = default;

QSize CCustomReportFormView::sizeHint() const
{
    return layout()->sizeHint().expandedTo(QSize(760, 560));
}

void CCustomReportFormView::buildControls()
{
    m_content = new QWidget;
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_content);

    m_templateCombo = new QComboBox;
    m_templateCombo->setObjectName(QStringLiteral("TemplateCombo"));
    m_templateCombo->setMinimumContentsLength(24);
    m_load = new QPushButton(text(texts::LoadButton));
    m_load->setObjectName(QStringLiteral("Load"));
    m_delete = new QPushButton(text(texts::DeleteButton));
    m_delete->setObjectName(QStringLiteral("Delete"));
    m_templateName = new QLineEdit;
    m_templateName->setObjectName(QStringLiteral("TemplateName"));
    m_save = new QPushButton(text(texts::SaveButton));
    m_save->setObjectName(QStringLiteral("Save"));
    auto* templates = new QGroupBox(text(texts::TemplatesGroup));
    auto* templatesLayout = new QHBoxLayout(templates);
    templatesLayout->addWidget(m_templateCombo, 2);
    templatesLayout->addWidget(m_load);
    templatesLayout->addWidget(m_delete);
    templatesLayout->addSpacing(24);
    templatesLayout->addWidget(m_templateName, 2);
    templatesLayout->addWidget(m_save);

    m_rangeCombo = new QComboBox;
    m_rangeCombo->setObjectName(QStringLiteral("RangeCombo"));
    auto* range = new QGroupBox(text(texts::RangeGroup));
    (new QVBoxLayout(range))->addWidget(m_rangeCombo);

    m_libraryCombo = new QComboBox;
    m_libraryCombo->setObjectName(QStringLiteral("LibraryCombo"));
    m_libraryCombo->setMinimumContentsLength(18);
    auto* library = new QGroupBox(text(texts::LibraryGroup));
    (new QVBoxLayout(library))->addWidget(m_libraryCombo);

    m_dataTypeCombo = new QComboBox;
    m_dataTypeCombo->setObjectName(QStringLiteral("DataTypeCombo"));
    m_dataTypeCombo->setMinimumContentsLength(36);
    m_dataTypeCombo->setMaxVisibleItems(24);
    m_rateLabel = new QLabel(text(texts::RateLabel));
    m_rateCombo = new QComboBox;
    m_rateCombo->setObjectName(QStringLiteral("RateCombo"));
    m_driveLabel = new QLabel(text(texts::DriveVolserLabel));
    m_logicalLabel = new QLabel(text(texts::LogicalLibraryLabel));
    m_driveList = selectionList();
    m_driveList->setObjectName(QStringLiteral("DriveVolserList"));
    m_logicalList = selectionList();
    m_logicalList->setObjectName(QStringLiteral("LogicalLibraryList"));
    auto* note = new QLabel(text(texts::RollupNote).trimmed());
    note->setWordWrap(true);
    auto* filter = new QGroupBox(text(texts::FilterGroup));
    auto* filterLayout = new QGridLayout(filter);
    filterLayout->addWidget(new QLabel(text(texts::FieldsLabel)), 0, 0);
    filterLayout->addWidget(m_dataTypeCombo, 0, 1);
    filterLayout->addWidget(m_rateLabel, 1, 0);
    filterLayout->addWidget(m_rateCombo, 1, 1);
    // The two lists and their labels share one place; only one pair shows.
    filterLayout->addWidget(m_driveLabel, 2, 0, Qt::AlignTop);
    filterLayout->addWidget(m_logicalLabel, 2, 0, Qt::AlignTop);
    filterLayout->addWidget(m_driveList, 2, 1);
    filterLayout->addWidget(m_logicalList, 2, 1);
    filterLayout->addWidget(note, 3, 0, 1, 2);
    filterLayout->setRowStretch(2, 1);
    filterLayout->setColumnStretch(1, 1);

    auto* reportType = new QGroupBox(text(texts::ReportTypeGroup));
    auto* reportLayout = new QVBoxLayout(reportType);
    m_radioGroup = new QButtonGroup(this);
    const char* captions[5] = {texts::ReportLastInstance, texts::ReportLineGraph, texts::ReportBarGraph,
                               texts::ReportTable, texts::ExportCsv};
    for (int type = 0; type < 5; ++type) {
        // The captions' trailing blanks lined the boxes up on the first platform; not here.
        m_radios[type] = new QRadioButton(text(captions[type]).trimmed());
        m_radios[type]->setObjectName(QStringLiteral("ReportType%1").arg(type));
        m_radioGroup->addButton(m_radios[type], type);
        reportLayout->addWidget(m_radios[type]);
    }
    reportLayout->addStretch(1);
    m_generate = new QPushButton(text(texts::GenerateButton));
    m_generate->setObjectName(QStringLiteral("Generate"));
    m_generate->setDefault(true);
    reportLayout->addWidget(m_generate, 0, Qt::AlignRight);

    auto* layout = new QGridLayout(m_content);
    layout->addWidget(templates, 0, 0, 1, 2);
    layout->addWidget(range, 1, 0);
    layout->addWidget(library, 1, 1);
    layout->addWidget(filter, 2, 0);
    layout->addWidget(reportType, 2, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
}

void CCustomReportFormView::connectControls()
{
    connect(m_rangeCombo, &QComboBox::activated, this, [this](int index) {
        m_form.rangeChanged(index);
        afterHandler();
    });
    connect(m_libraryCombo, &QComboBox::activated, this, [this](int index) {
        m_form.libraryChanged(index);
        afterHandler();
    });
    connect(m_dataTypeCombo, &QComboBox::activated, this, [this](int index) {
        m_form.dataTypeChanged(index);
        afterHandler();
    });
    connect(m_rateCombo, &QComboBox::activated, this, [this](int index) { m_form.rateCombo.current = index; });
    connect(m_templateCombo, &QComboBox::activated, this, [this](int index) { m_form.templateCombo.current = index; });
    connect(m_templateName, &QLineEdit::textChanged, this,
            [this](const QString& name) { m_form.templateName = name.toStdString(); });
    connect(m_driveList, &QListWidget::itemSelectionChanged, this, [this] {
        readSelection(m_driveList, m_form.driveList);
        m_form.driveListClicked(m_driveList->currentRow());
        afterHandler();
    });
    connect(m_logicalList, &QListWidget::itemSelectionChanged, this, [this] {
        readSelection(m_logicalList, m_form.logicalList);
        m_form.logicalListClicked();
        afterHandler();
    });
    connect(m_radioGroup, &QButtonGroup::idClicked, this, [this](int type) { m_form.checkReportType(type); });
    connect(m_load, &QPushButton::clicked, this, &CCustomReportFormView::loadTemplate);
    connect(m_save, &QPushButton::clicked, this, &CCustomReportFormView::saveTemplate);
    connect(m_delete, &QPushButton::clicked, this, &CCustomReportFormView::deleteTemplate);
    connect(m_generate, &QPushButton::clicked, this, &CCustomReportFormView::Generate);
}

void CCustomReportFormView::refresh()
{
    mirror(m_templateCombo, m_form.templateCombo);
    m_load->setEnabled(m_form.loadButton.enabled);
    m_delete->setEnabled(m_form.deleteButton.enabled);
    if (m_templateName->text().toStdString() != m_form.templateName) {
        const QSignalBlocker blocker(m_templateName);
        m_templateName->setText(QString::fromStdString(m_form.templateName));
    }
    mirror(m_rangeCombo, m_form.rangeCombo);
    mirror(m_libraryCombo, m_form.libraryCombo);
    mirror(m_dataTypeCombo, m_form.dataTypeCombo);
    mirror(m_rateCombo, m_form.rateCombo);
    m_rateLabel->setVisible(m_form.rateLabel.shown);
    mirror(m_driveList, m_form.driveList);
    mirror(m_logicalList, m_form.logicalList);
    m_driveLabel->setVisible(m_form.driveVolserLabel.shown);
    m_logicalLabel->setVisible(m_form.logicalLibraryLabel.shown);
    // The group allows no checked button to be unchecked by a click; the form may uncheck all.
    m_radioGroup->setExclusive(false);
    for (int type = 0; type < 5; ++type) {
        m_radios[type]->setChecked(m_form.radios[type].checked);
        m_radios[type]->setEnabled(m_form.radios[type].enabled);
    }
    m_radioGroup->setExclusive(true);
}

void CCustomReportFormView::afterHandler()
{
    refresh();
    startPendingLoad();
}

void CCustomReportFormView::startPendingLoad()
{
    auto request = m_form.takePendingLoad();
    if (!request)
        return;
    m_loading = true;
    m_content->setEnabled(false);
    setCursor(Qt::BusyCursor);
    QPointer<CCustomReportFormView> self(this);
    auto run = std::make_shared<QueryRun>();
    run->start([self, request = *request, database = CustomFormDatabase::fromSettings()](GeneralQueryFlags&) {
        FormLists lists = loadFormLists(request, database);
        // The answer goes to the UI thread; a form closed meanwhile is not there to take it.
        QMetaObject::invokeMethod(
            qApp,
            [self, lists = std::move(lists)] {
                if (self)
                    self->listsArrived(lists);
            },
            Qt::QueuedConnection);
        return GeneralQueryOutcome::Completed;
    });
}

void CCustomReportFormView::listsArrived(const FormLists& lists)
{
    m_form.listsLoaded(lists);
    m_loading = false;
    m_content->setEnabled(true);
    unsetCursor();
    afterHandler();
    if (!m_loading)
        emit listsShown();
}

void CCustomReportFormView::loadTemplate()
{
    m_form.loadTemplate();
    afterHandler();
}

void CCustomReportFormView::saveTemplate()
{
    const auto write = m_form.saveTemplate(theApp().settings.userName);
    refresh();
    if (write)
        startTemplateWrite(*write);
}

void CCustomReportFormView::deleteTemplate()
{
    const auto write = m_form.deleteTemplate(theApp().settings.userName);
    refresh();
    if (write)
        startTemplateWrite(*write);
}

void CCustomReportFormView::startTemplateWrite(const TemplateWrite& write)
{
    QPointer<CCustomReportFormView> self(this);
    auto run = std::make_shared<QueryRun>();
    run->start([self, write, database = CustomFormDatabase::fromSettings()](GeneralQueryFlags&) {
        if (writeTemplate(write, database))
            return GeneralQueryOutcome::Completed;
        QMetaObject::invokeMethod(
            qApp,
            [self, write] {
                if (self) {
                    self->m_form.templateWriteFailed(write);
                    self->refresh();
                }
            },
            Qt::QueuedConnection);
        return GeneralQueryOutcome::Failed;
    });
}

void CCustomReportFormView::Generate()
{
    const auto request =
        m_form.Generate([this] { return CTapeAlertWindow::choose(this); }, buildCustomReportRequestFromSettings);
    refresh();
    if (!request || !m_frame)
        return;
    switch (request->type) {
    case CustomReportType::LineGraph:
    case CustomReportType::BarGraph: {
        const char* kind = request->type == CustomReportType::LineGraph ? LineGraphTemplate : BarGraphTemplate;
        auto* window = qobject_cast<CGraphWindow*>(m_frame->openTemplate(kind));
        if (window == nullptr)
            return;
        window->startReport([request = *request](GraphState& state) {
            CustomReportOutputs outputs;
            outputs.graph = &state;
            outputs.prompts = &theApp().prompts();
            GeneralReportThread(request, outputs);
        });
        break;
    }
    case CustomReportType::Table: {
        auto* table = qobject_cast<CCustomTableView*>(m_frame->openTemplate(TableTemplate));
        if (table == nullptr)
            return;
        table->setWindowTitle(QString::fromStdString(fillTemplate(
            texts::TableTitle, {table->windowTitle().toStdString(), request->ipAddress, request->sinceText})));
        table->startReport(*request);
        break;
    }
    case CustomReportType::LastInstance:
    case CustomReportType::CsvExport:
        runDetached(*request);
        break;
    }
}
