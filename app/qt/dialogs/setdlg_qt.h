// setdlg_qt.h - the SETTING ("Data setting") and CONFIG ("Configration")
// dialogs' windows, laid out from their templates in dialog units.
//
// SettingDlg shows a setting_form and on OK copies the ten texts back; a
// dot size below 1 is refused (DataSet_refusal, said as ErrorMsg says it, say.h)
// and the dialog stays open on the field. ConfigDlg shows a config_form,
// hands each radio button to ConfSet_radio the moment it is chosen, and
// on OK copies the zoom text back; its captions are translated (i18n.h),
// and a control whose caption is wider than the template's place grows,
// the controls to its right move over and the dialog widens. The edit
// fields are named "f101" ... for tests, the radio buttons "r102" ...,
// the display mode's caption "mode".
#pragma once

#include "app/dialogs/config.h"
#include "app/dialogs/setting.h"

#include <QDialog>

class QLineEdit;
struct session;

class SettingDlg : public QDialog {
    Q_OBJECT
public:
    SettingDlg(QWidget *parent, setting_form &f, session &s);
    void accept() override;

private:
    setting_form &f;
    session &s;
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
