// setdlg_qt.h - the SETTING ("Data setting") and CONFIG ("Configration")
// dialogs' windows, laid out from their templates in dialog units.
//
// SettingDlg shows a setting_form and on OK copies the ten texts back;
// ConfigDlg shows a config_form, hands each radio button to ConfSet_radio
// the moment it is chosen, and on OK copies the zoom text back. The edit
// fields are named "f101" ... for tests, the radio buttons "r102" ....
#pragma once

#include "../settings.h"

#include <QDialog>

class QLineEdit;

class SettingDlg : public QDialog {
    Q_OBJECT
public:
    SettingDlg(QWidget *parent, setting_form &f);
    void accept() override;

private:
    setting_form &f;
    QLineEdit *field[SET_FIELDS];
};

class ConfigDlg : public QDialog {
    Q_OBJECT
public:
    ConfigDlg(QWidget *parent, config_form &f);
    void accept() override;

private:
    config_form &f;
    QLineEdit *zoom;
};
