#include "FelhasznaloSzerkeszt.h"

#include <QLineEdit>
#include <QPushButton>

#include "common/DataSet.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

namespace {

// A missing password and a row the database refuses are told alike.
void showIncomplete(QWidget* owner)
{
    ShowError("Hiányos adat megadás", owner);
}

}  // namespace

Tfrm_FelhasznaloSzerkeszt::Tfrm_FelhasznaloSzerkeszt(DataSet* tbl, QWidget* parent)
    : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_FelhasznaloSzerkeszt");
    setWindowTitle("Felhasználó adatainak szerkesztése");
    SetFixedDialogFrame(this, QSize(305, 177));

    auto bound = [this, tbl](const char* name, const char* field, int y) {
        auto* e = new DBEdit(this);
        e->setObjectName(name);
        e->setGeometry(128, y, 161, 21);
        e->setDataSet(tbl);
        e->setDataField(field);
        return e;
    };
    PlaceLabel(this, "kód", 16, 19);
    DBEdit1 = bound("DBEdit1", "felhasznalo", 16);
    PlaceLabel(this, "név", 16, 47);
    DBEdit3 = bound("DBEdit3", "felhasznalo_nev", 44);
    PlaceLabel(this, "Jelszó", 16, 75);
    DBEdit2 = bound("DBEdit2", "jelszo", 72);
    SetPasswordBox(DBEdit2);
    PlaceLabel(this, "Jelszó még egyszer", 16, 103);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(128, 100, 161, 21);
    SetPasswordBox(Edit1);
    Edit1->setMaxLength(10);
    btnOK = PlaceButton(this, "btnOK", "OK", 128, 138);
    btnCancel = PlaceButton(this, "btnCancel", "Mégsem", 214, 138);

    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, Edit1);
    setTabOrder(Edit1, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, DBEdit3);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_FelhasznaloSzerkeszt::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_FelhasznaloSzerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setText(tbl_->fieldByName("jelszo")->asString());
    DBEdit1->setFocus();
}

void Tfrm_FelhasznaloSzerkeszt::btnOKClick()
{
    const QString password = tbl_->fieldByName("jelszo")->asString();
    if (password.isEmpty()) {
        showIncomplete(this);
        return;
    }
    if (password != Edit1->text()) {
        ShowError("Hibás jelszó megadás", this);
        return;
    }
    try {
        tbl_->post();
    } catch (const DbError&) {
        showIncomplete(this);
        return;
    }
    accept();
}
