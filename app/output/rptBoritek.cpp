#include "rptBoritek.h"

#include <QFileInfo>
#include <QPageSize>

#include "PagePainter.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"

namespace {

// The envelope's margins: everything is placed from them.
constexpr double kLeft = 10;
constexpr double kTop = 10;

// A one-line box of `points` type is this high (mm), room for its descent.
double lineHeight(double points)
{
    return points * 0.3528 * 1.5;
}

}  // namespace

Sender ReadSender(Connection* db)
{
    TableDataSet t(db);
    t.setTableName("tulajdonos.DB");
    t.setReadOnly(true);
    t.open();
    Sender s;
    if (!t.isEmpty()) {
        s.name = t.fieldByName("tulajdonos")->asString();
        s.postalCode = t.fieldByName("irsz")->asString();
        s.cityStreet = t.fieldByName("varos")->asString() + ", " + t.fieldByName("cim")->asString();
    }
    return s;
}

bool ReadAddressee(Connection* db, int id, Addressee* to)
{
    QueryDataSet q(db);
    q.setSql({"SELECT",
              " ugyfel.ugyfel,",
              " ugyfel.ugyfel_nev AS kapcsolat2,",
              " ceg.ceg_nev AS ugyfel_nev,",
              " ugyfel.cim_irsz,",
              " ugyfel.cim_varos,",
              " ugyfel.cim_cim",
              "FROM ugyfel",
              " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
              "WHERE ugyfel.ugyfel = :pugyfel;"});
    q.setParam("pugyfel", QueryDataSet::ParamType::Integer, id);
    q.open();
    if (q.isEmpty()) return false;
    to->company = q.fieldByName("ugyfel_nev")->asString();
    to->person = q.fieldByName("kapcsolat2")->asString();
    to->postalCode = q.fieldByName("cim_irsz")->asString();
    to->city = q.fieldByName("cim_varos")->asString();
    to->street = q.fieldByName("cim_cim")->asString();
    return true;
}

QPageLayout EnvelopePaper()
{
    const QPageSize paper(QSizeF(160, 113), QPageSize::Millimeter, QStringLiteral("Boríték 160 x 113 mm"),
                          QPageSize::ExactMatch);
    QPageLayout layout(paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

TqrBoritek::TqrBoritek(const Sender& from, const Addressee& to, const QImage& logo)
    : EnvelopePage(from, to), logo_(logo)
{
}

void TqrBoritek::paintPage(int, QPainter& painter)
{
    PagePainter page(painter);
    auto box = [&](double left, double top, double width, double points, const QString& text, BoxFont font,
                   Qt::Alignment align) {
        font.points = points;
        page.text(QRectF(kLeft + left, kTop + top, width, lineHeight(points)), text, font, align);
    };
    box(1.3, 1.3, 74.4, 9, from_.name, {"Arial", 9, true, true, QColor(0, 0, 128)}, Qt::AlignLeft);
    box(1.3, 13.2, 74.4, 9, from_.cityStreet, {"Courier New", 9}, Qt::AlignLeft);
    box(1.3, 18.5, 74.4, 9, from_.postalCode, {"Courier New", 9, true}, Qt::AlignLeft);
    page.picture(QRectF(kLeft + 1.3, kTop + 25.8, 67.8, 13.6), logo_);
    box(60.9, 43.7, 74.4, 11, to_.company, {"Arial", 11, true}, Qt::AlignHCenter);
    box(60.9, 48.9, 74.4, 10, to_.person, {"Arial", 10}, Qt::AlignHCenter);
    box(60.9, 54.2, 74.4, 9, QStringLiteral("részére"), {"Arial", 9}, Qt::AlignHCenter);
    box(60.9, 62.2, 74.4, 10, to_.city, {"Arial", 10, false, true}, Qt::AlignHCenter);
    box(60.9, 68.8, 74.4, 10, to_.street, {"Arial", 10}, Qt::AlignHCenter);
    box(60.9, 79.4, 74.4, 16, to_.postalCode, {"Arial Rounded MT Bold", 16, true}, Qt::AlignHCenter);
}

void PrintEnvelope(QWidget* owner, Connection* db, int id)
{
    Addressee to;
    if (!ReadAddressee(db, id, &to)) return;
    const QString logoFile = ProgramFolder() + "/Logo.bmp";
    const QImage logo = QFileInfo::exists(logoFile) ? QImage(logoFile) : QImage();
    TqrBoritek envelope(ReadSender(db), to, logo);
    if (!interaction().print(owner, envelope)) ShowNoPrinter(owner);
}
