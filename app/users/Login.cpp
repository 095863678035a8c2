#include "Login.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Main/Beall.h"
#include "app/dialogs/InputLine.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

namespace {

const int passwordLength = 10;  // felhasznalo.jelszo

void showInvalidLogin(QWidget* owner)
{
    ShowError("Érvénytelen felhasználó, vagy jelszó", owner);
}

}  // namespace

Tfrm_Login::Tfrm_Login(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Login");
    setWindowTitle("Belépés azonosítás");
    SetFixedDialogFrame(this, QSize(281, 129));
    KeepOwnPlacement(this);

    PlaceLabel(this, "Felhasználó", 16, 19);
    edtFelhasznalo = new QLineEdit(this);
    edtFelhasznalo->setObjectName("edtFelhasznalo");
    edtFelhasznalo->setGeometry(96, 16, 169, 21);
    edtFelhasznalo->setMaxLength(20);
    PlaceLabel(this, "Jelszó", 16, 51);
    edtJelszo = new QLineEdit(this);
    edtJelszo->setObjectName("edtJelszo");
    edtJelszo->setGeometry(96, 48, 169, 21);
    SetPasswordBox(edtJelszo);
    btnOK = PlaceButton(this, "btnOK", "OK", 16, 88);
    btnUjJelszo = PlaceButton(this, "btnUjJelszo", "Új jelszó", 103, 88);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 190, 88);
    setTabOrder(edtFelhasznalo, edtJelszo);
    setTabOrder(edtJelszo, btnOK);
    setTabOrder(btnOK, btnUjJelszo);
    setTabOrder(btnUjJelszo, btnMegsem);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Login::btnOKClick);
    connect(btnUjJelszo, &QPushButton::clicked, this, &Tfrm_Login::btnUjJelszoClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    Connection* db = Connection::byName(DatabaseAlias);
    Tbl = new TableDataSet(db, this);
    Tbl->setTableName("felhasznalo.DB");
    TblNaplo = new TableDataSet(db, this);
    TblNaplo->setTableName("naplo.DB");
    Tbl->open();
    CentreOnScreen(this);
}

Tfrm_Login::~Tfrm_Login() = default;

void Tfrm_Login::hideEvent(QHideEvent* event)
{
    Tbl->close();
    QDialog::hideEvent(event);
}

bool Tfrm_Login::verify()
{
    if (!Tbl->isActive()) Tbl->open();
    if (!Tbl->locate("felhasznalo", edtFelhasznalo->text())) return false;
    Field* stored = Tbl->fieldByName("felhasznalo");
    if (stored->asString() != edtFelhasznalo->text()) return false;
    const QString password = Tbl->fieldByName("jelszo")->asString();
    return !password.isEmpty() && password == edtJelszo->text();
}

// The log row is started before the check and stored before any refusal is
// shown, so an attempt is on disk even when the program is ended meanwhile.
bool Tfrm_Login::verifyAndLog()
{
    TblNaplo->open();
    try {
        TblNaplo->append();
        TblNaplo->fieldByName("felhasznalo")->setValue(edtFelhasznalo->text());
        TblNaplo->fieldByName("datum")->setValue(QDateTime::currentDateTime());
        const bool success = verify();
        TblNaplo->fieldByName("sikeres")->setValue(success ? "I" : "N");
        TblNaplo->post();
        TblNaplo->flushBuffers();
        TblNaplo->close();
        return success;
    } catch (...) {
        if (TblNaplo->isEditing()) TblNaplo->cancel();
        TblNaplo->close();
        throw;
    }
}

void Tfrm_Login::btnOKClick()
{
    bool success = false;
    try {
        success = verifyAndLog();
        if (success) {
            Beall.referenceRight = Tbl->fieldByName("torzsszerkeszt")->asString() == "I";
            Beall.adminRight = Tbl->fieldByName("rendszergazda")->asString() == "I";
            Beall.userName = Tbl->fieldByName("felhasznalo_nev")->asString();
        }
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
        return;
    }
    if (success) accept();
    else showInvalidLogin(this);
}

void Tfrm_Login::btnUjJelszoClick()
{
    try {
        if (!verify()) {
            showInvalidLogin(this);
            return;
        }
        QString first;
        if (!InputLine("Jelszó megadása", "Add meg az új jelszót", QString(), first, this)) return;
        if (first.isEmpty()) {
            ShowError("Az új jelszó nem lehet üres.", this);
            return;
        }
        if (first.size() > passwordLength) {
            ShowError(QString("A jelszó legfeljebb %1 karakter lehet.").arg(passwordLength), this);
            return;
        }
        QString second;
        if (!InputLine("Megerősítés", "Add újra az új jelszót", QString(), second, this)) return;
        if (first != second) {
            ShowError("A megadott jelszavak nem egyezőek", this);
            return;
        }
        Tbl->edit();
        try {
            Tbl->fieldByName("jelszo")->setValue(first);
            Tbl->post();
        } catch (...) {
            Tbl->cancel();
            throw;
        }
        Tbl->flushBuffers();
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
        return;
    }
    ShowInfo("Jelszó változtatás kész.", this);
}

bool RunLogin(QWidget* owner)
{
    try {
        Tfrm_Login login(owner);
        return interaction().runModal(login) == QDialog::Accepted;
    } catch (const std::exception& e) {
        ShowError("Ismeretlen hiba, indítsa újra a programot.\n" + QString::fromUtf8(e.what()), owner);
        return false;
    }
}
