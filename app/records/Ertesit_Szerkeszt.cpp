#include "Ertesit_Szerkeszt.h"

#include <QPushButton>

#include "RecordWindow.h"
#include "RowEdit.h"
#include "common/DataSet.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

Tfrm_Ertesit_Szerkeszt::Tfrm_Ertesit_Szerkeszt(DataSet* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Ertesit_Szerkeszt");
    setWindowTitle("Értesítés szerkesztés");
    SetFixedDialogFrame(this, QSize(400, 124));

    PlaceLabel(this, "dátum", 12, 12);
    Date1 = new DateBox(this);
    Date1->setObjectName("Date1");
    Date1->setGeometry(12, 28, 110, 21);
    PlaceLabel(this, "értesítés típusa", 134, 12);
    DBEdit4 = new DBEdit(this);
    DBEdit4->setObjectName("DBEdit4");
    DBEdit4->setGeometry(134, 28, 254, 21);
    DBEdit4->setDataSet(tbl);
    DBEdit4->setDataField("rovid");
    Button1 = PlaceButton(this, "Button1", "OK", 232, 84);
    Button2 = PlaceButton(this, "Button2", "Mégsem", 313, 84);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Ertesit_Szerkeszt::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Date1, DBEdit4);
    setTabOrder(DBEdit4, Button1);
    setTabOrder(Button1, Button2);
    Date1->setValue(tbl->fieldByName("datum")->value());
}

void Tfrm_Ertesit_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Date1->setFocus();
}

void Tfrm_Ertesit_Szerkeszt::Button1Click()
{
    if (StoreDates(tbl_, {{"datum", Date1}}, this) && SaveRow(*tbl_, this)) accept();
}
