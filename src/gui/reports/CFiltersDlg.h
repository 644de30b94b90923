#pragma once

#include "reports/LifetimeThresholds.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QSpinBox;
class QTabWidget;

// The threshold settings sheet "Settings": "Filter Settings" (Enable filters) and "Lifetime
// Filters" (per counter a check box and its YELLOW and RED values). Loaded from the record when
// it opens; OK copies every value back, Cancel changes nothing.
class CFiltersDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFiltersDlg(const LifetimeThresholds& thresholds, QWidget* parent = nullptr);

    LifetimeThresholds thresholds() const;
    QTabWidget* pages() const { return m_pages; }

    // Opens the sheet over the application's thresholds; true when OK stored new ones.
    static bool edit(QWidget* parent);

private:
    QTabWidget* m_pages;
    QCheckBox* m_enable;
    std::array<QCheckBox*, 5> m_counters{};
    std::array<QSpinBox*, 5> m_yellow{};
    std::array<QSpinBox*, 5> m_red{};
};
