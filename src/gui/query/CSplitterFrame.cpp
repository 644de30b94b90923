#include "CSplitterFrame.h"

#include "CQueryData.h"
#include "CQueryForm.h"
#include "query/QueryExport.h"
#include "query/QueryTexts.h"
#include "reports/LifetimeThresholds.h"

#include <QApplication>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

CSplitterFrame::CSplitterFrame(QWidget* parent)
    : CChildWindow(parent), m_splitter(new QSplitter(Qt::Vertical, this)), m_list(new CQueryData),
      m_form(new CQueryForm(m_list))
{
    setWindowTitle(QString::fromLatin1(query_texts::WindowTitle));
    // Lifetime counter columns are coloured by the thresholds, as in the retries and perms list.
    m_list->setCellColouring(std::make_shared<LifetimeCellColouring>());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The form scrolls rather than squeezing its rows when the pane is made small.
    auto* formPane = new QScrollArea;
    formPane->setWidget(m_form);
    formPane->setWidgetResizable(true);
    formPane->setFrameShape(QFrame::NoFrame);
    m_splitter->addWidget(formPane);
    m_splitter->addWidget(m_list);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({FormPaneHeight, 400});
    layout->addWidget(m_splitter);
    connect(m_list, &CQueryData::rowCountChanged, this, &CChildWindow::statusTextChanged);
}

CSplitterFrame::~CSplitterFrame()
{
    // The run is stopped, not waited for: what its worker still posts finds no list and is
    // dropped, and its thread is joined when it has ended.
    m_form->stopForClose();
}

QString CSplitterFrame::statusText() const
{
    return QString::fromStdString(rowCountText(m_list->listData().rowCount()));
}

QSize CSplitterFrame::sizeHint() const
{
    return {m_form->sizeHint().width() + 24, FormPaneHeight + 460};
}

HelpContext CSplitterFrame::helpContext() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && (focus == m_list || m_list->isAncestorOf(focus)))
        return HelpContext::QueryList;
    return HelpContext::QueryForm;
}

bool CSplitterFrame::save()
{
    return ExportData(windowTitle().toStdString(), &m_list->listData());
}

void CSplitterFrame::stopForExit()
{
    m_form->stopForClose();
}
