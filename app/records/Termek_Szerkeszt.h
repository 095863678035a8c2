// Tfrm_Termek_Szerkeszt ("Termék szerkesztés"): creates or changes one
// product in the main window's product table, in place. The product code is
// upper-cased as it is typed or pasted, accented letters too.
#pragma once

#include <QDialog>

class DBEdit;
class QPushButton;
class TableDataSet;

// New: appends a row to `tblTermek`; existing: edits its current row (an
// empty table starts a new row; a row another program deleted meanwhile is
// reported and nothing opens). "OK" stores the row before the window
// closes; a row the database refuses is reported and the window stays open
// with what was typed. Anything else cancels the row. The table stays open
// on the stored row.
void EditProduct(TableDataSet& tblTermek, bool isNew, QWidget* owner = nullptr);

class Tfrm_Termek_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Termek_Szerkeszt(TableDataSet* tblTermek, QWidget* parent = nullptr);

    DBEdit* DBEdit1;  // cikkszám
    DBEdit* DBEdit2;  // megnevezés
    DBEdit* DBEdit4;  // kulcsszavak
    DBEdit* DBEdit3;  // kategória
    QPushButton* Button1;
    QPushButton* Button2;

private slots:
    void Button1Click();

private:
    TableDataSet* tbl_;
};
