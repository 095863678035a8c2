#include "Keres.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/Main/Main.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

Tfrm_Keres::Tfrm_Keres(Tfrm_Main* main) : QDialog(main), main_(main)
{
    setObjectName("frm_Keres");
    setWindowTitle("Általános keresés");
    SetFixedDialogFrame(this, QSize(297, 133));
    KeepOwnPlacement(this);

    Label1 = PlaceLabel(this, "Keresendő szöveg", 8, 8);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(8, 26, 185, 21);

    rg1 = new QGroupBox(" Irány ", this);
    rg1->setObjectName("rg1");
    rg1->setGeometry(8, 54, 185, 73);
    rg1Items = new QButtonGroup(this);
    const char* const items[] = {"Elejétől lefelé", "Lefelé", "Felfelé"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(items[i], rg1);
        b->setObjectName(QString("rg1Item%1").arg(i));
        b->setGeometry(10, 18 + 17 * i, 165, 17);
        rg1Items->addButton(b, i);
    }
    setDirection(FromTop);

    Button1 = PlaceButton(this, "Button1", "Keres", 212, 26, true);
    Button2 = PlaceButton(this, "Button2", "Bezár", 212, 58);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Keres::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

int Tfrm_Keres::direction() const { return rg1Items->checkedId(); }

void Tfrm_Keres::setDirection(int direction) { rg1Items->button(direction)->setChecked(true); }

void Tfrm_Keres::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // In the main window's bottom right corner, over its status bar, where
    // it hides the least of the list it searches.
    const QRect m = main_->frameGeometry();
    const QSize own = frameGeometry().size();
    move(m.left() + m.width() - own.width(), m.top() + m.height() - own.height());
    Edit1->setFocus();
}

void Tfrm_Keres::Button1Click()
{
    DataSet* ds = main_->browseDataSet(main_->tabIndex());
    const QString text = Edit1->text().toLower();
    if (text.isEmpty()) {
        ShowError("Add meg a keresendő szöveget!", this);
        return;
    }
    if (!ds->isActive()) return;
    int found = -1;
    const bool up = direction() == Up;
    switch (direction()) {
    case FromTop:
        setDirection(Down);  // the next press goes on downwards
        found = ds->findRowText(text, 0, 1);
        break;
    case Down:
        found = ds->findRowText(text, ds->recNo(), 1);
        break;
    default:
        found = ds->findRowText(text, ds->recNo() - 2, -1);
        break;
    }
    if (found >= 0) {
        ds->setRecNo(found + 1);
        return;
    }
    // The walk ran off the list's end: it stands on the last row it saw.
    if (up) ds->first();
    else ds->last();
    ShowInfo("A keresés elérte a tartomány elejét/végét.", this);
}

void ShowTextSearch(Tfrm_Main* main)
{
    Tfrm_Keres w(main);
    interaction().runModal(w);
}
