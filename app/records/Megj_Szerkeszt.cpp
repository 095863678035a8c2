#include "Megj_Szerkeszt.h"

#include <QPushButton>
#include <QStyle>

#include "RecordWindow.h"
#include "RowEdit.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

Tfrm_Megj_Szerkeszt::Tfrm_Megj_Szerkeszt(DataSet* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Megj_Szerkeszt");
    setWindowTitle("Csatolt dokumentum");
    SetFixedDialogFrame(this, QSize(470, 132));
    // A path is often typed or pasted whole; Enter does not jump away from it.
    KeepOwnEnter(this);

    PlaceLabel(this, "leírás", 12, 14);
    DBEdit3 = new DBEdit(this);
    DBEdit3->setObjectName("DBEdit3");
    DBEdit3->setGeometry(90, 11, 330, 21);
    DBEdit3->setDataSet(tbl);
    DBEdit3->setDataField("doknev_rovid");
    PlaceLabel(this, "dokumentum", 12, 46);
    DBEdit2 = new DBEdit(this);
    DBEdit2->setObjectName("DBEdit2");
    DBEdit2->setGeometry(90, 43, 330, 21);
    DBEdit2->setDataSet(tbl);
    DBEdit2->setDataField("doknev");
    BitBtn1 = GlyphButton(this, "BitBtn1", style()->standardIcon(QStyle::SP_DirOpenIcon), "Dokumentum kiválasztása",
                          426, 42);
    Button1 = PlaceButton(this, "Button1", "OK", 302, 94);
    Button2 = PlaceButton(this, "Button2", "Mégsem", 383, 94);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Megj_Szerkeszt::BitBtn1Click);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Megj_Szerkeszt::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(DBEdit3, DBEdit2);
    setTabOrder(DBEdit2, BitBtn1);
    setTabOrder(BitBtn1, Button1);
    setTabOrder(Button1, Button2);
}

void Tfrm_Megj_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DBEdit3->setFocus();
}

bool SetDocumentPath(DataSet* tbl, const QString& path, QWidget* owner)
{
    try {
        tbl->fieldByName("doknev")->setValue(path);
    } catch (const DbError& e) {
        ShowError("Ez az elérési út nem tárolható:\n" + path + "\n" + e.message(), owner);
        return false;
    }
    return true;
}

void Tfrm_Megj_Szerkeszt::BitBtn1Click()
{
    const QString path =
        interaction().openFileName(this, "Dokumentum kiválasztása", tbl_->fieldByName("doknev")->asString(),
                                   "Minden fájl (*)");
    if (!path.isEmpty()) SetDocumentPath(tbl_, path, this);
}

void Tfrm_Megj_Szerkeszt::Button1Click()
{
    const QString path = tbl_->fieldByName("doknev")->asString();
    if (path.trimmed().isEmpty()) {
        ShowError("Adja meg a dokumentum elérési útját.", this);
        DBEdit2->setFocus();
        return;
    }
    // The path is part of the key: one owner key holds a path once.
    if (SaveRow(*tbl_, this,
                "Ez a dokumentum már csatolva van ehhez a tételhez (vagy egy azonos kódú másik tételhez):\n" + path))
        accept();
}
