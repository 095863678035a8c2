// Tfrm_Szerkeszt ("Szerkesztés"): creates or changes one customer. The
// boxes are bound to the main window's customer table in place; the dialog
// decides only whether the pending insert or edit is saved. Besides data
// entry it splits the full name into family name, given name and name day,
// looks up the name day of a given name, fills in the city from the postal
// code, and picks the type, company, position and agent from their lists.
#pragma once

#include <QDialog>

class DataSet;
class DBEdit;
class DBLookupComboBox;
class DBMemo;
class QPushButton;
class QTabWidget;
class QueryDataSet;
class TableDataSet;

class Tfrm_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    // `tbl` is the customer table, open, with the row in insert or edit state.
    Tfrm_Szerkeszt(TableDataSet* tbl, QWidget* parent = nullptr);

    QTabWidget* PageControl1;  // "Adatok", "Megjegyzés"
    DBEdit* DBEdit24;   // prefix
    DBEdit* DBEdit1;    // ügyfél
    QPushButton* BitBtn1;  // "Név adat bontás"
    DBEdit* DBEdit15;   // v.név
    DBEdit* DBEdit16;   // k.név
    QPushButton* BitBtn5;  // "Névnap keresés"
    DBEdit* DBEdit17;   // hónap
    DBEdit* DBEdit18;   // nap
    DBLookupComboBox* DBLookupComboBox1;  // típus
    DBLookupComboBox* DBLookupComboBox2;  // cég
    DBLookupComboBox* DBLookupComboBox3;  // beosztás
    DBEdit* DBEdit12;   // kapcsolat
    DBEdit* DBEdit2;    // magántelefon
    DBEdit* DBEdit3;    // céges telefon
    DBEdit* DBEdit4;    // mobil
    DBEdit* DBEdit5;    // fax
    DBEdit* DBEdit6;    // e-mail 1.
    DBEdit* DBEdit7;    // e-mail 2.
    DBEdit* DBEdit8;    // honlap
    DBEdit* DBEdit10;   // irsz.
    DBEdit* DBEdit9;    // város
    DBEdit* DBEdit11;   // cím
    DBEdit* DBEdit14;   // figyelmeztetés (read-only)
    DBEdit* DBEdit22;   // its text (read-only)
    DBEdit* DBEdit13;   // bekerülés dátum (read-only)
    DBLookupComboBox* DBLookupComboBox4;  // üzletkötő
    DBEdit* DBEdit19;   // kulcsszavak
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* BitBtn2;  // type picker
    QPushButton* BitBtn3;  // company picker
    QPushButton* BitBtn6;  // position picker
    QPushButton* BitBtn4;  // agent picker
    DBMemo* DBMemo1;       // megjegyzés
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void BitBtn1Click();
    void BitBtn5Click();
    void OKClick();

private:
    QWidget* buildDataPage();
    QWidget* buildNotesPage();
    void postalCodeLeft();
    // Opens a list in pick mode on the column's key and stores the choice.
    void pick(const char* column, int (*list)(int key, QWidget* owner), QWidget* focusAfter);

    TableDataSet* tbl_;
};

// The name day of a given name: the earliest (month, day) in the calendar
// whose name equals `givenName` ignoring letter case; 0 and 0 when there is
// none or the name is empty.
void LookupNameDay(const QString& givenName, int& month, int& day);

// A full name cut into words at single blanks: the family name is word 1;
// the given name is word 3, else word 2, else word 1 (the first not empty);
// month and day are the given name's name day (0 when none).
void SplitName(const QString& fullName, QString& givenName, int& month, int& day, QString& familyName);

// The city for a postal code when the city box holds `city`: the postal-code
// table's city when `city` is empty or exactly `defaultCity` and the code is
// in the table; otherwise `city` unchanged.
QString CityForPostalCode(const QString& postalCode, const QString& city, const QString& defaultCity);

// "Új" and "Szerkeszt" on the customers list: `key` -1 creates a customer.
// The customer table `tbl` is opened for the run and closed after it; the
// customer list `qry` is then read anew and stands on the saved customer,
// else on the edited one, else on its first row. A key that no customer has
// (removed meanwhile) opens nothing.
void EditCustomer(TableDataSet& tbl, QueryDataSet& qry, int key, QWidget* owner = nullptr);
