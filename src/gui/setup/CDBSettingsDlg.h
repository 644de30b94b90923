#pragma once

#include <QDialog>

class QLineEdit;

// The user name and password dialog every database operation opens first.
class CDBSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CDBSettingsDlg(const QString& title, const QString& userName, QWidget* parent = nullptr);

    QString userName() const;
    QString password() const;

private:
    QLineEdit* m_userName;
    QLineEdit* m_password;
};
