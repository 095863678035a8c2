// Tfrm_TorzsCimke_Szerkeszt ("Címke szerkesztés"): the editor of one label
// layout, bound to the current row of the layout table, which the caller
// has put into insert or edit state. "OK" stores the row only when labels
// can be laid out with it; otherwise it says why and stays open.
#pragma once

#include <QDialog>

class DBEdit;
class QPushButton;
class TableDataSet;

class Tfrm_TorzsCimke_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_TorzsCimke_Szerkeszt(TableDataSet* tbl, QWidget* parent = nullptr);

    DBEdit* DBEdit1;  // cimke
    DBEdit* DBEdit2;  // felsomargo
    DBEdit* DBEdit3;  // szelsomargo
    DBEdit* DBEdit4;  // cimkemagas
    DBEdit* DBEdit5;  // oszlop
    QPushButton* btnOK;
    QPushButton* btnMegsem;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btnOKClick();

private:
    TableDataSet* tbl_;
};
