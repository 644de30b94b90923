#pragma once

#include "app/CChildWindow.h"
#include "library/DriveStatusLine.h"

#include <string>
#include <vector>

class QTableWidget;

// The drive status window: one row per tape drive of a library, eight columns.
class CDriveStatus : public CChildWindow {
    Q_OBJECT
public:
    CDriveStatus(const std::string& address, const std::vector<DriveStatusLine>& drives, QWidget* parent = nullptr);

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::None; }
    QTableWidget* list() const { return m_list; }

private:
    QTableWidget* m_list;
};
