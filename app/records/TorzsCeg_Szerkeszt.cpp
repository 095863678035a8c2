#include "TorzsCeg_Szerkeszt.h"

#include <QEvent>
#include <QGroupBox>
#include <QPushButton>

#include "RowEdit.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

void FillCityFromPostalCode(DataSet& ds, const QString& codeField, const QString& cityField)
{
    Field* city = ds.fieldByName(cityField);
    const QString code = ds.fieldByName(codeField)->asString();
    // A city the user typed stays; only an empty or default one is replaced.
    const QString current = city->asString();
    if (code.isEmpty() || (!current.isEmpty() && current != Beall.defaultCity)) return;
    TableDataSet irsz(ds.connection());
    irsz.setTableName("irsz.DB");
    irsz.setReadOnly(true);
    irsz.open();
    if (irsz.locate("irsz", code)) city->setValue(irsz.fieldByName("varos")->asString());
}

Tfrm_TorzsCeg_Szerkeszt::Tfrm_TorzsCeg_Szerkeszt(TableDataSet* tblCegek, QWidget* parent)
    : QDialog(parent), tbl_(tblCegek)
{
    setObjectName("frm_TorzsCeg_Szerkeszt");
    setWindowTitle("Cég szerkesztés");
    SetFixedDialogFrame(this, QSize(470, 320));

    auto bound = [this](QWidget* parent, const char* name, const char* field, int x, int y, int width) {
        auto* e = new DBEdit(parent);
        e->setObjectName(name);
        e->setGeometry(x, y, width, 21);
        e->setDataSet(tbl_);
        e->setDataField(field);
        return e;
    };
    auto group = [this](const QString& title, int x) {
        auto* g = new QGroupBox(title, this);
        g->setGeometry(x, 44, 220, 108);
        PlaceLabel(g, "irsz", 10, 25);
        PlaceLabel(g, "város", 10, 52);
        PlaceLabel(g, "cím", 10, 79);
        return g;
    };

    PlaceLabel(this, "cég", 12, 15);
    DBEdit1 = bound(this, "DBEdit1", "ceg_nev", 104, 12, 354);
    QGroupBox* centre = group("központ", 12);
    DBEdit3 = bound(centre, "DBEdit3", "cim_irsz", 56, 22, 60);
    DBEdit4 = bound(centre, "DBEdit4", "cim_varos", 56, 49, 152);
    DBEdit5 = bound(centre, "DBEdit5", "cim_cim", 56, 76, 152);
    QGroupBox* site = group("telephely", 238);
    DBEdit6 = bound(site, "DBEdit6", "tel_irsz", 56, 22, 60);
    DBEdit7 = bound(site, "DBEdit7", "tel_varos", 56, 49, 152);
    DBEdit8 = bound(site, "DBEdit8", "tel_cim", 56, 76, 152);
    PlaceLabel(this, "telefon", 12, 167);
    DBEdit9 = bound(this, "DBEdit9", "telefon", 104, 164, 180);
    PlaceLabel(this, "honlap", 12, 194);
    DBEdit10 = bound(this, "DBEdit10", "honlap", 104, 191, 354);
    PlaceLabel(this, "kapcsolattartó", 12, 221);
    DBEdit2 = bound(this, "DBEdit2", "kapcsolat", 104, 218, 180);
    PlaceLabel(this, "kulcsszavak", 12, 248);
    DBEdit11 = bound(this, "DBEdit11", "kulcsszavak", 104, 245, 354);
    btnOK = PlaceButton(this, "btnOK", "OK", 300, 284);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 383, 284);

    QWidget* order[] = {DBEdit1, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8,
                        DBEdit9, DBEdit10, DBEdit2, DBEdit11, btnOK, btnMegsem};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    DBEdit3->installEventFilter(this);
    DBEdit6->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_TorzsCeg_Szerkeszt::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    DBEdit1->setFocus();
}

bool Tfrm_TorzsCeg_Szerkeszt::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && tbl_->isEditing()) {
        if (watched == DBEdit3) FillCityFromPostalCode(*tbl_, "cim_irsz", "cim_varos");
        else if (watched == DBEdit6) FillCityFromPostalCode(*tbl_, "tel_irsz", "tel_varos");
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_TorzsCeg_Szerkeszt::btnOKClick()
{
    if (SaveRow(*tbl_, this)) accept();
}

void EditCompany(TableDataSet& tblCegek, bool isNew, QWidget* owner)
{
    if (!StartRow(tblCegek, isNew, owner)) return;
    Tfrm_TorzsCeg_Szerkeszt w(&tblCegek, owner);
    RunRowEditor(w, tblCegek);
}
