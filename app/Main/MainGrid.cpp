// Tfrm_Main: the grids' columns, the drawing of their cells (markers for due
// reminders and overdue deadlines; colours of reminders, name days and
// priorities) and the sort by a column title.
#include "Main.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>

#include "Beall.h"
#include "ImageList.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "widgets/DBGrid.h"

namespace {

// Text colours, as the program stores colours ($BBGGRR).
const QColor kRed = ColorFromBGR(0x0000FF);     // due reminder
const QColor kYellow = ColorFromBGR(0x00FFFF);  // due reminder, selected row
const QColor kBlue = ColorFromBGR(0xFF0000);    // name day today
const QColor kAqua = ColorFromBGR(0xFFFF00);    // name day today, selected row

bool reminderDue(const DBGridCell& cell, const QDate& today)
{
    const QDate d = cell.value("dat_figy").toDate();
    return d.isValid() && d <= today;
}

bool deadlineOverdue(const DBGridCell& cell, const QDate& today)
{
    const QDate d = cell.value("dat_hatid").toDate();
    return d.isValid() && d <= today && cell.value("lezarva").toString() == "N";
}

bool nameDayToday(const DBGridCell& cell, const QDate& today)
{
    return cell.value("honap").toInt() == today.month() && cell.value("nap").toInt() == today.day();
}

// A marker cell: the highlight colour in the selected row, else the window
// colour; the picture or the empty one; no text.
void marker(DBGridCell& cell, const DBGrid* grid, bool show, Pic pic)
{
    cell.background = grid->palette().color(QPalette::Active, cell.selected ? QPalette::Highlight : QPalette::Base);
    cell.picture = Picture(show ? pic : Pic::Empty);
    cell.drawText = false;
}

void addColumns(DBGrid* grid, const QStringList& markers, const QStringList& fields)
{
    for (const QString& m : markers) grid->addMarkerColumn(m, 18);
    for (const QString& f : fields) grid->addColumn(f, QString(), 100);
}

}  // namespace

void Tfrm_Main::setUpGrids()
{
    const QStringList customerColumns = {"Ugyfel_nev", "Telefon_magan", "Telefon_ceges", "Mobil", "ceg_nev"};
    addColumns(DBGrid4, {"*"}, {"ceg_nev", "cim_irsz", "cim_varos", "cim_cim", "telefon"});
    addColumns(DBGrid1, {"*"}, customerColumns);
    addColumns(DBGrid2, {"*", "!"},
               {"dat_beerk", "dat_hatid", "ceg_nev", "cikkszam_nev", "allapot_nev", "prioritas_nev", "rovid"});
    addColumns(DBGrid3, {"*"}, {"cikkszam", "cikkszam_nev", "kategoria"});
    addColumns(DBGrid5, {"*"}, customerColumns);
    DBGrid4->setDataSet(TblCegek);
    DBGrid1->setDataSet(Qry);
    DBGrid2->setDataSet(QryFeladat);
    DBGrid3->setDataSet(TblTermek);
    DBGrid5->setDataSet(Qry);
    DBGrid4->onDrawCell = [this](DBGridCell& c) { drawCompanyCell(c); };
    DBGrid1->onDrawCell = [this](DBGridCell& c) { drawCustomerCell(c); };
    DBGrid2->onDrawCell = [this](DBGridCell& c) { drawTaskCell(c); };
    DBGrid3->onDrawCell = [this](DBGridCell& c) { drawProductCell(c); };
    DBGrid5->setTitleClicksEnabled(false);

    for (DBGrid* g : {DBGrid4, DBGrid1, DBGrid2, DBGrid3}) {
        g->setTitleClicksEnabled(true);
        connect(g, &DBGrid::titleClicked, this, [this](int, const QString& field) {
            if (!field.isEmpty()) SortBy(field, tabIndex());
        });
        connect(g, &DBGrid::enterPressed, aSzerkeszt, &QAction::trigger);
        connect(g, &QAbstractItemView::doubleClicked, aSzerkeszt, &QAction::trigger);
    }
    connect(DBGrid5, &QAbstractItemView::doubleClicked, this, &Tfrm_Main::DBGrid5DblClick);
    for (DBGrid* g : {DBGrid1, DBGrid2, DBGrid3, DBGrid4, DBGrid5}) g->installEventFilter(this);
    StatusBar1->installEventFilter(this);
    DBGrid1->horizontalHeader()->viewport()->setMouseTracking(true);
    DBGrid1->horizontalHeader()->viewport()->installEventFilter(this);
}

void Tfrm_Main::drawCustomerCell(DBGridCell& cell) const
{
    const QDate today = QDate::currentDate();
    const bool due = reminderDue(cell, today);
    if (cell.title == "*") return marker(cell, DBGrid1, due, Pic::Reminder);
    if (due) cell.textColor = cell.selected ? kYellow : kRed;
    if (nameDayToday(cell, today)) cell.textColor = cell.selected ? kAqua : kBlue;
}

void Tfrm_Main::drawTaskCell(DBGridCell& cell) const
{
    const QDate today = QDate::currentDate();
    if (cell.title == "!") return marker(cell, DBGrid2, deadlineOverdue(cell, today), Pic::Alarm);
    if (cell.title == "*") return marker(cell, DBGrid2, reminderDue(cell, today), Pic::Reminder);
    if (!cell.selected) cell.textColor = ColorFromBGR(quint32(VarToInt(cell.value("szin"), 0)));
}

void Tfrm_Main::drawProductCell(DBGridCell& cell) const
{
    const bool due = reminderDue(cell, QDate::currentDate());
    if (cell.title == "*") return marker(cell, DBGrid3, due, Pic::Reminder);
    if (due) cell.textColor = cell.selected ? kYellow : kRed;
}

void Tfrm_Main::drawCompanyCell(DBGridCell& cell) const
{
    // A company's reminder shows from the day it is set, whatever its date.
    if (cell.title == "*") marker(cell, DBGrid4, cell.value("dat_figy").toDate().isValid(), Pic::Reminder);
}

void Tfrm_Main::SortBy(const QString& field, int tab)
{
    const QString f = field.toLower();
    Beall.sortFields[size_t(tab)] = f;
    auto reorderQuery = [](QueryDataSet* q, const char* keyField, const QString& orderBy) {
        // The key the list remembered when the row became current: a list
        // that another program changed since it was read refuses the row's
        // values, and the click still keeps that row (the first row when it
        // is gone).
        const QVariant key = q->currentKey();
        q->reopenWithLastLine(orderBy);
        // Rows only sorted anew keep the current one: no search needed.
        if (!key.isNull() && q->fieldByName(keyField)->asInteger() != key.toInt()) q->locate(keyField, key);
    };
    switch (tab) {
    case 1:
        reorderQuery(Qry, "ugyfel", "ORDER BY " + f + ";");
        break;
    case 2:
        // Equal values keep the order of the task ids.
        reorderQuery(QryFeladat, "feladat",
                     f == "feladat" ? "ORDER BY " + f + ";" : "ORDER BY " + f + ", feladat.feladat;");
        break;
    case 3:
        TblTermek->setIndexFieldNames(f);
        break;
    default:
        TblCegek->setIndexFieldNames(f);
        break;
    }
    if (created_) quickSearchBox(tab)->setFocus();
    shadeSortedColumn(tab);
    UpdateStatusLine(tab);
}

void Tfrm_Main::shadeSortedColumn(int tab)
{
    DBGrid* grid = browseGrid(tab);
    const QPalette& pal = grid->palette();
    for (int col = 0; col < grid->gridColumnCount(); ++col) {
        const bool sorted = grid->columnField(col).toLower() == Beall.sortFields[size_t(tab)];
        grid->setColumnColor(col, pal.color(QPalette::Active, sorted ? QPalette::Button : QPalette::Base));
    }
}
