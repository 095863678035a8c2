#include "rptAjanlott.h"

#include "PagePainter.h"
#include "common/Interaction.h"
#include "common/Messages.h"

namespace {

// The form's margins: 12 mm at the top, 10 on the left.
constexpr double kLeft = 10;
constexpr double kTop = 12;
constexpr double kLine = 4.8;  // a line of 9 pt Arial, mm

}  // namespace

void TqrAjanlott::paintPage(int, QPainter& painter)
{
    PagePainter page(painter);
    auto box = [&](double left, double top, double width, const QString& text) {
        page.text(QRectF(kLeft + left, kTop + top, width, kLine), text, {"Arial", 9});
    };
    box(29.1, 16.5, 74.4, from_.name);
    box(29.1, 21.2, 74.4, from_.cityStreet);
    box(29.1, 25.1, 74.4, from_.postalCode);
    box(30.1, 43.0, 56.2, to_.company);
    box(87.3, 43.0, 50.6, to_.person);
    box(30.4, 47.6, 17.5, to_.postalCode);
    box(48.9, 47.6, 55.9, to_.city);
    box(30.4, 52.3, 74.4, to_.street);
}

void PrintRegisteredMailForm(QWidget* owner, Connection* db, int id)
{
    Addressee to;
    if (!ReadAddressee(db, id, &to)) return;
    TqrAjanlott form(ReadSender(db), to);
    if (!interaction().print(owner, form)) ShowNoPrinter(owner);
}
