#include "SzurF.h"

#include "app/Main/Beall.h"
#include "app/records/Cikkszam_valaszt.h"
#include "app/records/TorzsTipus.h"
#include "app/records/Ugyfel_valaszt.h"
#include "common/Interaction.h"

QString BuildTaskFilter(const FilterMemory& m)
{
    const auto& t = m.ticks;
    if (!t[0] && !t[1] && !t[2] && !t[3] && !t[4]) return {};
    QString f;
    if (t[0]) f += "(allapot=" + QString::number(m.ids[0]) + ")";
    if (t[1]) f += " and (prioritas=" + QString::number(m.ids[1]) + ")";
    if (t[2]) f += " and (ugyfel=" + QString::number(m.ids[2]) + ")";
    if (t[3]) f += " and (termek=" + QString::number(m.ids[3]) + ")";
    if (t[4]) f += " and (lezarva='N')";
    if (f.startsWith(" and ")) f.remove(0, 5);
    return f;
}

Tfrm_SzurF::Tfrm_SzurF(QWidget* parent)
    : FilterDialog("frm_SzurF", "Feladat szűrés", Beall.taskFilter,
                   {{"Állapot", 0, 0,
                     [](int key, QString& name, QWidget* owner) {
                         return ShowListWithName(Torzs::Allapot, key, true, name, owner);
                     }},
                    {"Prioritás", 1, 1,
                     [](int key, QString& name, QWidget* owner) {
                         return ShowListWithName(Torzs::Prioritas, key, true, name, owner);
                     }},
                    {"Ügyfél", 2, 2, PickCustomerWithName},
                    {"Termék", 3, 3, PickProductWithName}},
                   {{"Csak még nem kész", 4}}, parent)
{
}

bool ShowTaskFilter(QString& expression, QWidget* owner)
{
    Tfrm_SzurF dlg(owner);
    if (interaction().runModal(dlg) != QDialog::Accepted) return false;
    expression = BuildTaskFilter(Beall.taskFilter);
    return true;
}
