// Tfrm_Beallit ("Beállítások"): the settings of this machine (full screen,
// default city, database folder: kept in Beall, written to the settings file
// at close) and of the database (login, default priority and deadline in
// table beallit; the newsletter's mail server in table mail).
#pragma once

#include <QDialog>

class DBCheckBox;
class DBEdit;
class DBLookupComboBox;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TableDataSet;

class Tfrm_Beallit : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Beallit(QWidget* parent = nullptr);

    TableDataSet* TblBeallit;
    TableDataSet* TblMail;
    TableDataSet* TblZPrioritas;  // the choices of the priority drop-down

    QTabWidget* PageControl1;
    QCheckBox* CheckBox1;
    DBCheckBox* DBCheckBox1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QToolButton* BitBtn1;
    QToolButton* BitBtn2;  // the priority list: default priority and its deadline
    DBEdit* DBEdit1;
    DBLookupComboBox* DBLookupComboBox1;
    DBEdit* DBEdit7;
    DBEdit* DBEdit2;
    DBEdit* DBEdit5;
    DBEdit* DBEdit3;
    DBEdit* DBEdit4;
    DBEdit* DBEdit6;
    QPushButton* btnOK;
    QPushButton* btnMegsem;

private slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void btnOKClick();
};

// Runs the settings window. "OK" takes the machine's settings into Beall and
// stores the two rows; anything else leaves all of them as they were.
void ShowSettingsDialog(QWidget* owner);
