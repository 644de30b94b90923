#include "QueryCommands.h"

#include "CQueryData.h"
#include "CSplitterFrame.h"
#include "app/CMainFrame.h"
#include "query/QueryExport.h"
#include "query/QueryTexts.h"

CSplitterFrame* openGeneralQueryWindow(CMainFrame& frame)
{
    auto* window = new CSplitterFrame;
    frame.addChildWindow(window, QString::fromLatin1(query_texts::WindowTitle));
    return window;
}

bool runExportDataCommand(CMainFrame& frame)
{
    CChildWindow* child = frame.activeChild();
    const std::string title = child != nullptr ? child->windowTitle().toStdString() : "";
    // The query window's list is its lower pane; a table window's is its view.
    const CQueryData* list = child != nullptr ? child->findChild<CQueryData*>() : nullptr;
    return ExportData(title, list != nullptr ? &list->listData() : nullptr);
}
