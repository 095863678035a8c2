#include "InputLine.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "common/Interaction.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

namespace {

int mulDiv(int a, int b, int c)
{
    return int(std::lround(double(a) * b / c));
}

}  // namespace

bool InputLine(const QString& caption, const QString& prompt, const QString& mask, QString& text,
               QWidget* owner)
{
    QDialog dlg(owner);
    dlg.setObjectName(InputLineName);
    dlg.setWindowTitle(caption);
    KeepOwnPlacement(&dlg);

    // Average character size of the dialog's font.
    const QFontMetrics fm(dlg.font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int X = fm.horizontalAdvance(letters) / 52;
    const int Y = fm.height();

    auto* label = new QLabel(prompt, &dlg);
    label->setObjectName("Prompt");
    label->setWordWrap(true);
    label->move(mulDiv(8, X, 4), mulDiv(8, Y, 8));
    label->setFixedWidth(mulDiv(164, X, 4));
    label->adjustSize();

    auto* edit = new QLineEdit(&dlg);
    edit->setObjectName("Edit");
    if (!mask.isEmpty()) edit->setInputMask(mask);
    edit->setMaxLength(255);
    edit->setText(text);
    edit->selectAll();
    edit->setGeometry(label->x(), label->geometry().bottom() + 1 + 5, mulDiv(164, X, 4),
                      edit->sizeHint().height());

    const int buttonTop = edit->geometry().bottom() + 1 + 15;
    const QSize buttonSize(mulDiv(50, X, 4), mulDiv(14, Y, 8));
    QPushButton* ok = PlaceButton(&dlg, "btnOK", "OK", mulDiv(38, X, 4), buttonTop, true);
    QPushButton* cancel = PlaceButton(&dlg, "btnMegsem", "Mégsem", mulDiv(92, X, 4), buttonTop);
    ok->resize(buttonSize);
    cancel->resize(buttonSize);
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);

    SetFixedDialogFrame(&dlg, QSize(mulDiv(180, X, 4), cancel->geometry().bottom() + 1 + 13));
    CentreOnScreen(&dlg);
    edit->setFocus();

    if (interaction().runModal(dlg) != QDialog::Accepted) return false;
    text = edit->text();
    return true;
}
