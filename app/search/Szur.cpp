#include "Szur.h"

#include <QCheckBox>

#include "app/Main/Beall.h"
#include "app/records/TorzsCeg.h"
#include "app/records/TorzsTipus.h"
#include "common/Convert.h"
#include "common/Interaction.h"

QString BuildCustomerFilter(const FilterMemory& m, const QDate& today)
{
    const auto& t = m.ticks;
    if (!t[0] && !t[1] && !t[2] && !t[3] && !t[4]) return {};
    QString f;
    if (t[0]) f += "(ceg=" + QString::number(m.ids[0]) + ")";
    if (t[1]) f += " and (tipus=" + QString::number(m.ids[1]) + ")";
    if (t[4]) f += " and (uzletkoto=" + QString::number(m.ids[2]) + ")";
    if (t[2]) f += " and ((dat_figy<='" + today.toString("yyyy.MM.dd") + "') and (dat_figy<>NULL))";
    if (t[3])
        f += " and (honap=" + QString::number(MonthOf(today)) + ") and (nap=" + QString::number(DayOf(today)) + ")";
    if (f.startsWith(" and ")) f.remove(0, 5);
    return f;
}

Tfrm_Szur::Tfrm_Szur(QWidget* parent)
    : FilterDialog("frm_Szur", "Ügyfél szűrés", Beall.customerFilter,
                   {{"Cég", 0, 0,
                     [](int key, QString& name, QWidget* owner) {
                         return ShowCompanyListWithName(key, true, name, owner);
                     }},
                    {"Típus", 1, 1,
                     [](int key, QString& name, QWidget* owner) {
                         return ShowListWithName(Torzs::Tipus, key, true, name, owner);
                     }},
                    {"Üzletkötő", 4, 2,
                     [](int key, QString& name, QWidget* owner) {
                         return ShowListWithName(Torzs::Uzletkoto, key, true, name, owner);
                     }}},
                   {{"Aktív figyelmeztetés", 2}, {"Névnap ma van", 3}}, parent)
{
    // After a pick the keyboard goes on to the next criterion.
    focusAfterPick = [this](int row) -> QWidget* {
        static const int next[] = {1, 4, 2};
        return tick(next[row]);
    };
}

bool ShowCustomerFilter(QString& expression, QWidget* owner)
{
    Tfrm_Szur dlg(owner);
    if (interaction().runModal(dlg) != QDialog::Accepted) return false;
    expression = BuildCustomerFilter(Beall.customerFilter, QDate::currentDate());
    return true;
}
