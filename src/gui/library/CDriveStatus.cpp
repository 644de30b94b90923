#include "CDriveStatus.h"

#include "library/LibraryTexts.h"
#include "library/MonitorFormat.h"
#include "library/MonitorTexts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

CDriveStatus::CDriveStatus(const std::string& address, const std::vector<DriveStatusLine>& drives, QWidget* parent)
    : CChildWindow(parent), m_list(new QTableWidget(this))
{
    setWindowTitle(QString::fromStdString(formatMonitorText(monitor_texts::DriveStatusTitle, address.c_str())));
    m_list->setObjectName(QStringLiteral("DriveList"));
    m_list->setUpdatesEnabled(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setColumnCount(static_cast<int>(DriveStatusLine::CellCount));
    QStringList titles;
    for (const char* title : library_texts::DriveStatusColumns)
        titles << QString::fromLatin1(title);
    m_list->setHorizontalHeaderLabels(titles);
    m_list->setRowCount(static_cast<int>(drives.size()));
    for (std::size_t row = 0; row < drives.size(); ++row) {
        const auto& cells = drives[row].cells;
        for (std::size_t column = 0; column < cells.size() && column < DriveStatusLine::CellCount; ++column) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[column]));
            item->setTextAlignment(Qt::AlignCenter);
            m_list->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    m_list->resizeColumnsToContents();
    m_list->setUpdatesEnabled(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}
