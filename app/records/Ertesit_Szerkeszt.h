// Tfrm_Ertesit_Szerkeszt ("Értesítés szerkesztés"): edits one notification,
// the current row of the notifications window's table, which the window has
// put into insert or edit state. "OK" stores the date box into `datum` and
// saves the row, staying open with the reason when the database refuses it;
// "Mégsem" (Esc) closes and the window cancels the row.
#pragma once

#include <QDialog>

class DataSet;
class DateBox;
class DBEdit;
class QPushButton;

class Tfrm_Ertesit_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Ertesit_Szerkeszt(DataSet* tbl, QWidget* parent = nullptr);

    DateBox* Date1;
    DBEdit* DBEdit4;  // értesítés típusa
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void Button1Click();

private:
    DataSet* tbl_;
};
