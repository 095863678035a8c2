#include "Datum.h"

#include <QDateEdit>
#include <QPushButton>

#include "common/Interaction.h"
#include "widgets/Form.h"

Tfrm_Datum::Tfrm_Datum(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Datum");
    setWindowTitle("Dátum megadása");
    SetFixedDialogFrame(this, QSize(213, 91));

    eAlso = new QDateEdit(this);
    eAlso->setObjectName("eAlso");
    eAlso->setGeometry(12, 12, 186, 21);
    eAlso->setCalendarPopup(false);
    eAlso->setDisplayFormat("yyyy.MM.dd.");
    btnOK = PlaceButton(this, "btnOK", "OK", 32, 52, true);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 112, 52);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

bool InputDate(QDate& date, QWidget* owner)
{
    Tfrm_Datum dlg(owner);
    dlg.eAlso->setDate(date);
    if (interaction().runModal(dlg) != QDialog::Accepted) return false;
    date = dlg.eAlso->date();
    return true;
}
