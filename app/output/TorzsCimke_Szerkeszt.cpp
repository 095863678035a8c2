#include "TorzsCimke_Szerkeszt.h"

#include <QFont>
#include <QPushButton>

#include "TorzsCimke.h"
#include "common/DataSet.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

Tfrm_TorzsCimke_Szerkeszt::Tfrm_TorzsCimke_Szerkeszt(TableDataSet* tbl, QWidget* parent)
    : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_TorzsCimke_Szerkeszt");
    setWindowTitle("Címke szerkesztés");
    SetFixedDialogFrame(this, QSize(300, 190));

    int y = 14;
    auto bound = [&](const char* name, const char* field, const QString& caption, int width) {
        PlaceLabel(this, caption, 16, y + 3);
        auto* e = new DBEdit(this);
        e->setObjectName(name);
        e->setGeometry(130, y, width, 21);
        e->setDataSet(tbl);
        e->setDataField(field);
        y += 28;
        return e;
    };
    DBEdit1 = bound("DBEdit1", "cimke", "címke", 154);
    QFont bold = DBEdit1->font();
    bold.setBold(true);
    DBEdit1->setFont(bold);
    DBEdit2 = bound("DBEdit2", "felsomargo", "felső margó", 80);
    DBEdit3 = bound("DBEdit3", "szelsomargo", "szélső margó", 80);
    DBEdit4 = bound("DBEdit4", "cimkemagas", "címke magasság", 80);
    DBEdit5 = bound("DBEdit5", "oszlop", "oszlopok száma", 80);
    btnOK = PlaceButton(this, "btnOK", "OK", 124, y + 6);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 209, y + 6);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_TorzsCimke_Szerkeszt::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_TorzsCimke_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DBEdit1->setFocus();
}

void Tfrm_TorzsCimke_Szerkeszt::btnOKClick()
{
    // A layout that cannot be laid out would print nothing or never end;
    // it is refused here, where the user can still mend it.
    const QString problem = LabelLayoutProblem(LabelLayoutOf(*tbl_));
    if (!problem.isEmpty()) {
        ShowRefusedInput(problem, this);
        return;
    }
    try {
        tbl_->post();
        tbl_->flushBuffers();
    } catch (const DbError& e) {
        ShowRefusedInput(e.message(), this);
        return;
    }
    accept();
}
