#include "CLibraryOverview.h"

#include "app/CMainFrame.h"
#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "custom/CGraphWindow.h"
#include "custom/GraphWindows.h"
#include "fleet/FleetReport.h"
#include "query/CQueryData.h"
#include "query/QueryExport.h"
#include "query/QueryListData.h"
#include "reports/ReportKinds.h"
#include "reports/ReportTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

#include <fstream>

namespace {
// Suspects on red, the watch list on yellow, in the verdict column only.
class VerdictColouring final : public QueryCellColouring {
public:
    CellShade shadeFor(const std::string& columnTitle, std::string_view cellText) const override
    {
        if (columnTitle != "Verdict")
            return CellShade::Default;
        if (cellText == fleetVerdictName(FleetVerdict::Suspect))
            return CellShade::Red;
        return cellText == fleetVerdictName(FleetVerdict::Watch) ? CellShade::Yellow : CellShade::Default;
    }
};

void fill(CQueryData* list, const std::vector<std::string>& columns, bool (*numeric)(int),
          std::vector<std::vector<std::string>> rows)
{
    list->clear();
    list->beginUpdate();
    for (std::size_t column = 0; column < columns.size(); ++column) {
        list->addColumn(columns[column]);
        if (numeric(static_cast<int>(column)))
            list->addNumericColumn(static_cast<int>(column));
    }
    list->addRows(rows);
    list->endUpdate();
    list->sizeColumns();
}

QString latin(const char* text)
{
    return QString::fromLatin1(text);
}
} // namespace

CLibraryOverview::CLibraryOverview(QWidget* parent)
    : CChildWindow(parent), m_overview(std::make_unique<LibraryOverview>()), m_library(new QComboBox(this)),
      m_begin(new QDateEdit(this)), m_end(new QDateEdit(this)),
      m_generate(new QPushButton(latin(report_texts::GenerateReport), this)),
      m_export(new QPushButton(tr("Export..."), this)), m_summary(new QLabel(this)), m_drives(new CQueryData(this)),
      m_cartridges(new CQueryData(this))
{
    setWindowTitle(QString::fromLatin1(reportKindInfo(ReportKind::LibraryOverview).windowTitle));
    setObjectName(QStringLiteral("CLibraryOverview"));
    m_library->setObjectName(QStringLiteral("Library"));
    m_library->setMinimumContentsLength(18);
    m_generate->setObjectName(QStringLiteral("Generate"));
    m_summary->setObjectName(QStringLiteral("Summary"));
    m_drives->setObjectName(QStringLiteral("Drives"));
    m_cartridges->setObjectName(QStringLiteral("Cartridges"));
    for (QDateEdit* edit : {m_begin, m_end}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("MM-dd-yyyy"));
    }
    m_end->setDate(QDate::currentDate());
    m_begin->setDate(QDate::currentDate().addDays(-30));
    QFont bold = m_summary->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_summary->setFont(bold);
    m_summary->setWordWrap(true);
    const auto colouring = std::make_shared<VerdictColouring>();
    m_drives->setCellColouring(colouring);
    m_cartridges->setCellColouring(colouring);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(latin(report_texts::IpAddressColumn), this));
    top->addWidget(m_library, 1);
    top->addWidget(new QLabel(latin(report_texts::BeginningDate), this));
    top->addWidget(m_begin);
    top->addWidget(new QLabel(latin(report_texts::EndingDate), this));
    top->addWidget(m_end);
    top->addWidget(m_generate);
    top->addWidget(m_export);
    auto* tables = new QSplitter(Qt::Vertical, this);
    auto* drivesPane = new QWidget(tables);
    auto* drivesLayout = new QVBoxLayout(drivesPane);
    drivesLayout->setContentsMargins(0, 0, 0, 0);
    drivesLayout->addWidget(new QLabel(tr("Drives, worst first"), drivesPane));
    drivesLayout->addWidget(m_drives);
    auto* cartridgesPane = new QWidget(tables);
    auto* cartridgesLayout = new QVBoxLayout(cartridgesPane);
    cartridgesLayout->setContentsMargins(0, 0, 0, 0);
    cartridgesLayout->addWidget(new QLabel(tr("Cartridges: suspects, watch list and retirement list"), cartridgesPane));
    cartridgesLayout->addWidget(m_cartridges);
    tables->addWidget(drivesPane);
    tables->addWidget(cartridgesPane);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addWidget(tables, 1);

    fill(m_drives, LibraryOverview::driveColumns(), &LibraryOverview::driveColumnNumeric, {});
    fill(m_cartridges, LibraryOverview::cartridgeColumns(), &LibraryOverview::cartridgeColumnNumeric, {});
    connect(m_generate, &QPushButton::clicked, this, &CLibraryOverview::generateOrCancel);
    connect(m_export, &QPushButton::clicked, this, &CLibraryOverview::exportTables);
    connect(m_drives, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openGraph(m_drives, index.row(), true); });
    connect(m_cartridges, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openGraph(m_cartridges, index.row(), false); });
}

CLibraryOverview::~CLibraryOverview()
{
    m_drives->setClosing();
    m_cartridges->setClosing();
    // The overview's destruction stops the worker at its next poll and joins it.
    m_overview.reset();
}

bool CLibraryOverview::fillLibraries()
{
    m_library->clear();
    const auto addresses = reportAddressList(ReportRequest::fromSettings("", "", {}));
    if (!addresses)
        return false;
    for (const std::string& address : *addresses)
        m_library->addItem(QString::fromStdString(address));
    return !addresses->empty();
}

void CLibraryOverview::generateOrCancel()
{
    if (m_overview->running()) {
        m_overview->cancel();
        return;
    }
    if (m_library->currentText().isEmpty())
        return;
    const std::string begin = m_begin->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    const std::string end = m_end->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    if (begin > end) {
        theApp().prompts().showMessage(report_texts::InvalidDateRange, MessageIcon::Exclamation);
        return;
    }
    const std::string address = m_library->currentText().toStdString();
    FleetOptions options;
    options.thresholds = theApp().lifetimeThresholds();
    m_generate->setText(latin(report_texts::Cancel));
    m_summary->setText(tr("Reading the mount history of %1...").arg(m_library->currentText()));
    QPointer<CLibraryOverview> self(this);
    m_overview->start(ReportRequest::fromSettings(begin, end, {address}), address, options, [self] {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self)
                    self->showResult();
            },
            Qt::QueuedConnection);
    });
}

void CLibraryOverview::showResult()
{
    m_overview->join();
    m_generate->setText(latin(report_texts::GenerateReport));
    switch (m_overview->state()) {
    case LibraryOverview::State::Done:
        break;
    case LibraryOverview::State::Cancelled:
        m_summary->setText(latin(report_texts::Canceled));
        emit runFinished();
        return;
    default:
        m_summary->setText(tr("The mount history could not be read: see lvr_debug.txt"));
        emit runFinished();
        return;
    }
    const auto result = m_overview->result();
    m_summary->setText(QString::fromStdString(m_overview->summary()));
    fill(m_drives, LibraryOverview::driveColumns(), &LibraryOverview::driveColumnNumeric,
         LibraryOverview::driveRows(*result));
    fill(m_cartridges, LibraryOverview::cartridgeColumns(), &LibraryOverview::cartridgeColumnNumeric,
         LibraryOverview::cartridgeRows(*result));
    emit runFinished();
}

void CLibraryOverview::openGraph(CQueryData* list, int row, bool drive)
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (frame == nullptr || row < 0 || row >= list->listData().rowCount() || !m_overview->result())
        return;
    const std::string unit = list->listData().cell(row, 0);
    auto* graph = static_cast<CGraphWindow*>(frame->openTemplate(LineGraphTemplate));
    if (graph == nullptr)
        return;
    // The graph's thread holds copies of what it reads: this window may close meanwhile.
    graph->startReport(
        [request = m_overview->lastRequest(), address = m_overview->address(), unit, drive](GraphState& state) {
            if (state.closeRequested())
                return;
            if (auto graphData = LibraryOverview::ratingGraph(request, address, unit, drive))
                state.SetReportData(std::move(*graphData));
        });
}

void CLibraryOverview::exportTables()
{
    const auto chosen = theApp().prompts().askSaveFileName("Export", "CSV Files (*.csv);;All Files (*)", "");
    if (!chosen)
        return;
    const std::string path = withDefaultExtension(*chosen);
    if (writeQueryExport(path, m_drives->listData()) != 0)
        return;
    // The cartridges follow the drives in the same file, after a blank line.
    const std::string second = path + ".part";
    if (writeQueryExport(second, m_cartridges->listData()) == 0) {
        std::ifstream in(second, std::ios::binary);
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << "\r\n" << in.rdbuf();
    }
    std::remove(second.c_str());
}

void CLibraryOverview::print(QPrinter& printer)
{
    const auto result = m_overview->result();
    if (!result)
        return;
    QTextDocument document;
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    document.setDefaultFont(font);
    document.setPlainText(QString::fromStdString(fleetOverviewText(m_overview->address(), *result)).remove(u'\r'));
    document.print(&printer);
}

void CLibraryOverview::stopForExit()
{
    m_overview->cancel();
    m_overview->join();
}
