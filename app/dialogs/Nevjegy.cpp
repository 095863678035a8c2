#include "Nevjegy.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "Pictures.h"
#include "common/Convert.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

namespace {

QLabel* placeText(QWidget* parent, const QString& text, const QRect& r, bool bold = false,
                  const QColor& background = QColor())
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(r);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    if (background.isValid()) {
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, background);
        l->setPalette(p);
        l->setContentsMargins(4, 1, 4, 1);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return l;
}

}  // namespace

Tfrm_Nevjegy::Tfrm_Nevjegy(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Nevjegy");
    setWindowTitle("Névjegy");
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetFixedDialogFrame(this, QSize(319, 343));
    KeepOwnPlacement(this);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(8, 8, 303, 290);

    auto* picturePanel = new QLabel(panel);
    picturePanel->setGeometry(8, 8, 69, 63);
    picturePanel->setAutoFillBackground(true);
    QPalette pp = picturePanel->palette();
    pp.setColor(QPalette::Window, ColorFromBGR(0xAED0FF));
    picturePanel->setPalette(pp);
    picturePanel->setAlignment(Qt::AlignCenter);
    picturePanel->setPixmap(AboutPicture());

    const QColor paleGreen(214, 240, 214);
    const QColor cream = ColorFromBGR(0xF0FBFF);
    lblVerzio = new QLabel(panel);
    lblVerzio->setObjectName("lblVerzio");
    lblVerzio->setGeometry(86, 8, 209, 44);
    lblVerzio->setFont(QFont("Arial", 11, QFont::Bold));
    lblVerzio->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVerzio->setAutoFillBackground(true);
    lblVerzio->setContentsMargins(4, 0, 6, 0);
    QPalette gp = lblVerzio->palette();
    gp.setColor(QPalette::Window, paleGreen);
    lblVerzio->setPalette(gp);
    lblVerzio->setText(QStringLiteral("Nyilvex\nV" NYILVEX_VERSION));

    auto* maker = placeText(panel, QString("Készítette: ") + MakerName, QRect(86, 56, 209, 16));
    maker->setAlignment(Qt::AlignRight | Qt::AlignTop);

    placeText(panel, "Ügyfélnyilvántartó", QRect(8, 82, 287, 18), true, cream);
    placeText(panel,
              "Cégek, ügyfelek, határidős feladatok és termékek nyilvántartása "
              "megjegyzésekkel, értesítésekkel, csatolt dokumentumokkal, figyelmeztetésekkel "
              "és névnapokkal. Listák, címkék, borítékok, körlevelek és exportok "
              "kisvállalkozások mindennapi munkájához.",
              QRect(8, 104, 287, 84));
    placeText(panel, "Elérhetőség", QRect(8, 194, 287, 18), true, cream);
    placeText(panel,
              QString("%1\n1117 Budapest, Október huszonharmadika utca 8.\n"
                      "Telefon: +36 1 555 0100\nE-mail: %2\nHonlap: %3")
                  .arg(MakerName, MakerEmail, MakerWebAddress),
              QRect(8, 216, 287, 70));

    btnOK = PlaceButton(this, "btnOK", "OK", 122, 308, true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

void Tfrm_Nevjegy::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(this);
}
