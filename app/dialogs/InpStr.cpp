#include "InpStr.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/Interaction.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

Tfrm_InpStr::Tfrm_InpStr(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_InpStr");
    SetFixedDialogFrame(this, QSize(253, 113));
    KeepOwnPlacement(this);

    // Made before its text is known: sized for one line with its descenders.
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(16, 12, 221, Label1->fontMetrics().height() + 2);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(16, 32, 221, 21);
    btnOK = PlaceButton(this, "btnOK", "OK", 68, 72, true);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 156, 72);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_InpStr::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(this);
    Edit1->setFocus();
}

bool InputText(const QString& caption, const QString& prompt, QString& text, QWidget* owner)
{
    Tfrm_InpStr dlg(owner);
    dlg.setWindowTitle(caption);
    dlg.Label1->setText(prompt);
    dlg.Edit1->setText(text);
    if (interaction().runModal(dlg) != QDialog::Accepted) return false;
    text = dlg.Edit1->text();
    return true;
}
