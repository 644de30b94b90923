#pragma once

#include "app/CChildWindow.h"
#include "custom/CustomReportForm.h"

#include <QPointer>
#include <memory>

class CMainFrame;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The custom report form ("Custom Reports "): shows what the form's core state holds and hands
// every change of a control to its handler. The lists the handlers need are read on a worker;
// meanwhile the form's controls wait disabled. Generate opens the output window and starts the
// report on a thread that outlives the form.
class CCustomReportFormView : public CChildWindow {
    Q_OBJECT
public:
    explicit CCustomReportFormView(CMainFrame* frame, QWidget* parent = nullptr);
    ~CCustomReportFormView() override;

    ActiveWindowKind windowKind() const override { return ActiveWindowKind::CustomReport; }
    HelpContext helpContext() const override { return HelpContext::CustomReportWindow; }
    QSize sizeHint() const override;

    const CustomReportForm& form() const { return m_form; }
    // Lists are being read for the form.
    bool loading() const { return m_loading; }

    QComboBox* templateCombo() const { return m_templateCombo; }
    QLineEdit* templateNameBox() const { return m_templateName; }
    QComboBox* rangeCombo() const { return m_rangeCombo; }
    QComboBox* libraryCombo() const { return m_libraryCombo; }
    QComboBox* dataTypeCombo() const { return m_dataTypeCombo; }
    QComboBox* rateCombo() const { return m_rateCombo; }
    QListWidget* driveList() const { return m_driveList; }
    QListWidget* logicalList() const { return m_logicalList; }
    QRadioButton* radio(int type) const { return m_radios[type]; }
    QPushButton* generateButton() const { return m_generate; }

public slots:
    void Generate();
    void saveTemplate();
    void loadTemplate();
    void deleteTemplate();

signals:
    // The lists asked for have arrived and are shown.
    void listsShown();

private:
    void buildControls();
    void connectControls();
    // After every handler: shows the state and starts the database work it left.
    void afterHandler();
    void refresh();
    void startPendingLoad();
    void listsArrived(const FormLists& lists);
    // Runs a template's save or delete on a worker; a failure puts the combo back.
    void startTemplateWrite(const TemplateWrite& write);

    QPointer<CMainFrame> m_frame;
    CustomReportForm m_form;
    bool m_loading = false;

    QWidget* m_content = nullptr;
    QComboBox* m_templateCombo = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_save = nullptr;
    QLineEdit* m_templateName = nullptr;
    QComboBox* m_rangeCombo = nullptr;
    QComboBox* m_libraryCombo = nullptr;
    QComboBox* m_dataTypeCombo = nullptr;
    QLabel* m_rateLabel = nullptr;
    QComboBox* m_rateCombo = nullptr;
    QLabel* m_driveLabel = nullptr;
    QLabel* m_logicalLabel = nullptr;
    QListWidget* m_driveList = nullptr;
    QListWidget* m_logicalList = nullptr;
    QButtonGroup* m_radioGroup = nullptr;
    QRadioButton* m_radios[5] = {};
    QPushButton* m_generate = nullptr;
};
