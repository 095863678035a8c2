// Tfrm_Main: the reminder command (one reminder per company, customer, task
// or product: set one, or remove the one there is) and the name-day line.
#include "Main.h"

#include <QLocale>

#include "app/dialogs/Datum.h"
#include "app/dialogs/InpStr.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Messages.h"

namespace {

struct ReminderTable {
    const char* table;
    const char* key;
};

// Tabs 0 to 3.
const ReminderTable kReminderTables[] = {
    {"ceg", "ceg"}, {"ugyfel", "ugyfel"}, {"feladat", "feladat"}, {"termek", "termek"}};

// Runs the statement with the list closed, then opens the list again on the
// row, also when the statement failed (its error goes on to the caller).
void execAndReopen(QueryDataSet* update, DataSet* list, const QString& key, int id)
{
    try {
        update->execSql();
    } catch (const DbError&) {
        list->open();
        list->locate(key, id);
        throw;
    }
    list->open();
    list->locate(key, id);
}

}  // namespace

void Tfrm_Main::aFigyelmeztetExecute()
{
    const int tab = tabIndex();
    DataSet* ds = browseDataSet(tab);
    const ReminderTable& t = kReminderTables[tab];
    const QString table = t.table;
    const QString key = t.key;
    // An empty list has no row to remind of; a row another program removed
    // is not reminded of either.
    if (!ds->isActive() || !refreshOutdated(tab) || ds->isEmpty()) return;

    if (ds->fieldByName("dat_figy")->isNull()) {
        QDate date = QDate::currentDate();
        if (!InputDate(date, this)) return;
        QString text;
        if (!InputText("Figyelmeztetés", "Add meg a szöveget", text, this)) return;
        const int id = ds->fieldByName(key)->asInteger();
        ds->close();
        QryUpdFigy->sql().clear();
        QryUpdFigy->sql().append("UPDATE " + table + " SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE " + key +
                                 "=:pid;");
        QryUpdFigy->clearParams();
        QryUpdFigy->setParam("pdat", QueryDataSet::ParamType::Date, date);
        QryUpdFigy->setParam("pszoveg", QueryDataSet::ParamType::Text, text);
        QryUpdFigy->setParam("pid", QueryDataSet::ParamType::Integer, id);
        execAndReopen(QryUpdFigy, ds, key, id);
        refreshOutdated(tab);
        return;
    }

    if (!AskYesNo("Töröljem a figyelmeztetést?", "Megerősítés", this)) return;
    QryUpdFigy->sql().clear();
    const int id = ds->fieldByName(key)->asInteger();
    ds->close();
    QryUpdFigy->sql().append("UPDATE " + table + " SET dat_figy=NULL, figy_szoveg=NULL WHERE " + key + " = :pid;");
    QryUpdFigy->clearParams();
    QryUpdFigy->setParam("pid", QueryDataSet::ParamType::Integer, id);
    execAndReopen(QryUpdFigy, ds, key, id);
    refreshOutdated(tab);
}

QString NameDayLineText(const QDate& date, const QString& names)
{
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    return hu.toString(date, "yyyy.MMMM.d dddd") + "; " + names + " napja   ";
}

void Tfrm_Main::BuildNameDayLine()
{
    const QDate today = QDate::currentDate();
    QryJav->close();
    QryJav->sql().clear();
    QryJav->sql().append("SELECT nev FROM nevnap");
    QryJav->sql().append(QString("WHERE (honap=%1) and (nap=%2);").arg(MonthOf(today)).arg(DayOf(today)));
    QryJav->open();
    QString names;
    for (QryJav->first(); !QryJav->eof(); QryJav->next()) names += QryJav->fieldByName("nev")->asString() + ", ";
    QryJav->close();
    names.chop(2);
    nameDayLine_ = NameDayLineText(today, names);
}
