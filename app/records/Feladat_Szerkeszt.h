// Tfrm_Feladat_Szerkeszt ("Feladat szerkesztés"): creates or changes one
// task. The boxes are bound to the main window's task table in place; the
// arrival date and the deadline are copied into their date boxes and back on
// "OK", which saves the row (a refusal is shown and the window stays open).
// The drop-downs and picker buttons choose status, priority, type, result,
// company, customer and product; choosing a priority leaves the deadline as
// it is.
#pragma once

#include <QDialog>

class DateBox;
class DBCheckBox;
class DBEdit;
class DBLookupComboBox;
class DBMemo;
class QPushButton;
class QTabWidget;
class QueryDataSet;
class TableDataSet;

class Tfrm_Feladat_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    // `tbl` is the task table, open, with the row in insert or edit state.
    Tfrm_Feladat_Szerkeszt(TableDataSet* tbl, QWidget* parent = nullptr);

    QTabWidget* PageControl1;  // "Feladat", "Leírás"
    DateBox* DateTimePicker1;  // beérkezés
    DateBox* DateTimePicker2;  // határidő
    DBEdit* DBEdit8;           // rövid leírás
    DBLookupComboBox* DBLookupComboBox3;  // állapot
    DBLookupComboBox* DBLookupComboBox4;  // prioritás
    DBLookupComboBox* DBLookupComboBox5;  // típus
    DBLookupComboBox* DBLookupComboBox6;  // eredmény
    DBLookupComboBox* DBLookupComboBox8;  // cég név
    DBLookupComboBox* DBLookupComboBox1;  // ügyfél
    DBLookupComboBox* DBLookupComboBox2;  // product code
    DBLookupComboBox* DBLookupComboBox7;  // product name
    DBEdit* DBEdit2;           // kulcsszavak
    QPushButton* Button1;
    QPushButton* Button2;
    DBEdit* DBEdit1;           // feladat, read-only
    QPushButton* BitBtn2;      // status picker
    QPushButton* BitBtn1;      // task type picker
    QPushButton* BitBtn3;      // priority picker
    QPushButton* BitBtn4;      // result picker
    QPushButton* BitBtn5;      // customer picker
    QPushButton* BitBtn6;      // product picker
    DBCheckBox* DBCheckBox1;   // Lezárva?
    QPushButton* BitBtn7;      // company picker
    DBMemo* DBMemo1;           // leírás
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OKClick();

private:
    QWidget* buildTaskPage();
    QWidget* buildDescriptionPage();

    TableDataSet* tbl_;
};

// "Új" (`isNew`) and "Szerkeszt" on the tasks list. A new task starts on
// today, with the default deadline in days, status 1, the default priority
// and not closed. The task table `tbl` is opened for the run and closed
// after it; the task list `qry` is then read anew and stands on the saved
// task, else on the edited one, else on its first row. A key that no task
// has opens nothing.
void EditTask(TableDataSet& tbl, QueryDataSet& qry, bool isNew, int key, QWidget* owner = nullptr);
