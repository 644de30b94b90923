#pragma once

#include "app/CChildWindow.h"

class CQueryData;
class CQueryForm;
class QSplitter;

// The general SQL query window: the query form above, its result list below.
class CSplitterFrame : public CChildWindow {
    Q_OBJECT
public:
    // The form pane's height when the window opens.
    static constexpr int FormPaneHeight = 150;

    explicit CSplitterFrame(QWidget* parent = nullptr);
    ~CSplitterFrame() override;

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::Query; }
    // The form's page while the form has the focus, the list's page while the list has it.
    HelpContext helpContext() const override;
    // File > Save exports the list.
    bool save() override;
    void stopForExit() override;
    // The row count of the list.
    QString statusText() const override;

    // Wide enough for the whole form, so it opens without a scroll bar where there is room.
    QSize sizeHint() const override;

    CQueryForm* form() const { return m_form; }
    CQueryData* list() const { return m_list; }
    QSplitter* splitter() const { return m_splitter; }

private:
    QSplitter* m_splitter;
    CQueryData* m_list;
    CQueryForm* m_form;
};
