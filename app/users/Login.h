// Tfrm_Login ("Belépés azonosítás"): asks for the user code and password at
// start, logs every attempt in naplo and lets a user change the password.
//
// A successful login fixes the two rights and the user's display name in
// Beall for the rest of the run.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TableDataSet;

class Tfrm_Login : public QDialog {
    Q_OBJECT
public:
    // Opens the user table; a database error is thrown as DbError.
    explicit Tfrm_Login(QWidget* parent = nullptr);
    ~Tfrm_Login() override;

    QLineEdit* edtFelhasznalo;
    QLineEdit* edtJelszo;
    QPushButton* btnOK;
    QPushButton* btnUjJelszo;
    QPushButton* btnMegsem;

    TableDataSet* Tbl;       // felhasznalo, by user code
    TableDataSet* TblNaplo;  // naplo, the login log

private slots:
    void btnOKClick();
    void btnUjJelszoClick();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // True when the typed code names a user whose password is the typed one
    // (exact, letter case counts; a blank stored password matches nothing).
    // Leaves Tbl on that user.
    bool verify();
    bool verifyAndLog();
};

// Runs the login window at start. False when the program is to end: the
// window was cancelled, or it could not be made or shown (reported).
bool RunLogin(QWidget* owner = nullptr);
