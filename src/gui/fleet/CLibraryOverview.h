#pragma once

#include "app/CChildWindow.h"
#include "fleet/LibraryOverview.h"

#include <memory>

class CQueryData;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// The Library Overview window: a library and a range on top, the sentence, the drives worst
// first and the cartridges that need attention. A view over a LibraryOverview, which runs on a
// worker; Cancel and closing the window stop it.
class CLibraryOverview : public CChildWindow {
    Q_OBJECT
public:
    explicit CLibraryOverview(QWidget* parent = nullptr);
    ~CLibraryOverview() override;

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::ShortReport; }
    HelpContext helpContext() const override { return HelpContext::LibraryOverview; }
    void print(QPrinter& printer) override;
    void stopForExit() override;

    // The libraries of the mount history table; false when there are none (or the query failed).
    bool fillLibraries();
    // Generate Report, or Cancel while a run is on.
    void generateOrCancel();
    // Writes both tables to a CSV file the user chooses.
    void exportTables();
    bool isRunning() const { return m_overview->running(); }

    CQueryData* drivesList() const { return m_drives; }
    CQueryData* cartridgesList() const { return m_cartridges; }
    QLabel* summaryLabel() const { return m_summary; }
    QPushButton* generateButton() const { return m_generate; }
    QComboBox* libraryBox() const { return m_library; }
    QDateEdit* beginEdit() const { return m_begin; }
    QDateEdit* endEdit() const { return m_end; }

signals:
    void runFinished();

private:
    void showResult();
    void openGraph(CQueryData* list, int row, bool drive);

    std::unique_ptr<LibraryOverview> m_overview;
    QComboBox* m_library;
    QDateEdit* m_begin;
    QDateEdit* m_end;
    QPushButton* m_generate;
    QPushButton* m_export;
    QLabel* m_summary;
    CQueryData* m_drives;
    CQueryData* m_cartridges;
};
