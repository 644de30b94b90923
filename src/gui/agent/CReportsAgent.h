#pragma once

#include "agent/AgentDialog.h"

#include <QDialog>
#include <array>
#include <ctime>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTimeEdit;
class QTreeWidget;

// The "Auto Reports Agent" dialog: shows the agent's settings, and on OK checks the entry
// and stores the new settings (core decides; this only moves values to and from controls).
class CReportsAgent : public QDialog {
    Q_OBJECT
public:
    // Filled from settings; addresses are the libraries of the database, in order.
    CReportsAgent(const AgentSettings& settings, const std::vector<std::string>& addresses, QWidget* parent = nullptr);

    // The settings OK stored (valid after exec() returned Accepted).
    const AgentSettings& confirmed() const { return m_confirmed; }
    // Tests fix the moment of OK.
    void setClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }
    AgentDialogEntry entry() const;

    // Opens the dialog on the application's agent settings; true when OK stored new ones.
    static bool edit(QWidget* parent);

public slots:
    void accept() override;

private:
    QCheckBox* m_enabled;
    std::array<QCheckBox*, 6> m_reports{}; // cartridge health, drive health, drive statistics, encryption, mount rates,
                                           // library overview
    std::array<QCheckBox*, 7> m_days{};
    QTimeEdit* m_startTime;
    QComboBox* m_range;
    QTreeWidget* m_addresses;
    QLineEdit* m_server;
    QLineEdit* m_recipients;
    AgentSettings m_confirmed;
    std::function<std::time_t()> m_clock;
};
