// Tfrm_FelhasznaloSzerkeszt ("Felhasználó adatainak szerkesztése"): edits
// the current row of the users window's table, which the caller has put
// into insert or edit state. "OK" posts it and closes; the caller cancels
// the row when the window closes any other way.
#pragma once

#include <QDialog>

class DBEdit;
class DataSet;
class QLineEdit;
class QPushButton;

class Tfrm_FelhasznaloSzerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_FelhasznaloSzerkeszt(DataSet* tbl, QWidget* parent = nullptr);

    DBEdit* DBEdit1;    // kód
    DBEdit* DBEdit2;    // jelszó
    QLineEdit* Edit1;   // the password once more, not stored
    QPushButton* btnOK;
    QPushButton* btnCancel;
    DBEdit* DBEdit3;    // név

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btnOKClick();

private:
    DataSet* tbl_;
};
