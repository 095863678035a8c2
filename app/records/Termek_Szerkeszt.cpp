#include "Termek_Szerkeszt.h"

#include <QLocale>
#include <QPushButton>
#include <QValidator>

#include "RowEdit.h"
#include "common/DataSet.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

namespace {

// Product codes are upper case: whatever is typed or pasted is turned so
// before the box takes it, Hungarian accented letters included.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        input = QLocale(QLocale::Hungarian).toUpper(input);
        return Acceptable;
    }
};

}  // namespace

Tfrm_Termek_Szerkeszt::Tfrm_Termek_Szerkeszt(TableDataSet* tblTermek, QWidget* parent)
    : QDialog(parent), tbl_(tblTermek)
{
    setObjectName("frm_Termek_Szerkeszt");
    setWindowTitle("Termék szerkesztés");
    SetFixedDialogFrame(this, QSize(420, 164));

    auto bound = [this](const char* name, const char* label, const char* field, int y, int width) {
        PlaceLabel(this, label, 12, y + 3);
        auto* e = new DBEdit(this);
        e->setObjectName(name);
        e->setGeometry(96, y, width, 21);
        e->setDataSet(tbl_);
        e->setDataField(field);
        return e;
    };
    DBEdit1 = bound("DBEdit1", "cikkszám", "cikkszam", 12, 130);
    DBEdit1->setValidator(new UpperCaseValidator(DBEdit1));
    DBEdit2 = bound("DBEdit2", "megnevezés", "cikkszam_nev", 39, 310);
    DBEdit4 = bound("DBEdit4", "kulcsszavak", "kulcsszavak", 66, 310);
    DBEdit3 = bound("DBEdit3", "kategória", "kategoria", 93, 90);
    Button1 = PlaceButton(this, "Button1", "OK", 250, 128);
    Button2 = PlaceButton(this, "Button2", "Mégsem", 333, 128);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Termek_Szerkeszt::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    DBEdit1->setFocus();
}

void Tfrm_Termek_Szerkeszt::Button1Click()
{
    if (SaveRow(*tbl_, this)) accept();
}

void EditProduct(TableDataSet& tblTermek, bool isNew, QWidget* owner)
{
    if (!StartRow(tblTermek, isNew, owner)) return;
    Tfrm_Termek_Szerkeszt w(&tblTermek, owner);
    RunRowEditor(w, tblTermek);
}
