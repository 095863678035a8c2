// Tfrm_TorzsCeg_Szerkeszt ("Cég szerkesztés"): creates or changes one
// company in the main window's company table, in place.
#pragma once

#include <QDialog>
#include <QString>

class DataSet;
class DBEdit;
class QPushButton;
class TableDataSet;

// New: appends a row to `tblCegek`; existing: edits its current row (an
// empty table starts a new row; a row another program deleted meanwhile is
// reported and nothing opens). "OK" stores the row before the window
// closes; a row the database refuses is reported and the window stays open
// with what was typed. Anything else cancels the row. The table stays open
// on the stored row.
void EditCompany(TableDataSet& tblCegek, bool isNew, QWidget* owner = nullptr);

// The postal-code lookup of the address boxes: when the city in
// `cityField` is empty or the default city, the city that table irsz gives
// for the postal code in `codeField` (exact match) is written into it.
// `ds` is in edit or insert state. An unknown code changes nothing.
void FillCityFromPostalCode(DataSet& ds, const QString& codeField, const QString& cityField);

class Tfrm_TorzsCeg_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_TorzsCeg_Szerkeszt(TableDataSet* tblCegek, QWidget* parent = nullptr);

    DBEdit* DBEdit1;   // cég
    DBEdit* DBEdit3;   // központ: irsz, város, cím
    DBEdit* DBEdit4;
    DBEdit* DBEdit5;
    DBEdit* DBEdit6;   // telephely: irsz, város, cím
    DBEdit* DBEdit7;
    DBEdit* DBEdit8;
    DBEdit* DBEdit9;   // telefon
    DBEdit* DBEdit10;  // honlap
    DBEdit* DBEdit2;   // kapcsolattartó
    DBEdit* DBEdit11;  // kulcsszavak
    QPushButton* btnOK;
    QPushButton* btnMegsem;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void btnOKClick();

private:
    TableDataSet* tbl_;
};
