// Tfrm_Main: the data sets, the tab change, the company-to-customers link,
// the quick search, the status line and the column widths.
#include "Main.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>

#include <cmath>
#include <map>

#include "Beall.h"
#include "app/output/Lists.h"
#include "common/DataSet.h"
#include "widgets/DBGrid.h"

namespace {

const QStringList kNewsletterQuery = {
    "SELECT",
    " emil1 AS emil,",
    " ugyfel_nev AS nev,",
    " 'N' AS kuldve,",
    " 0 AS csoport,",
    " vnev,",
    " knev,",
    " honap,",
    " nap",
    "FROM ugyfel",
    "WHERE NOT (emil1 IS NULL)",
};

TableDataSet* table(Connection* db, QObject* owner, const char* file, bool readOnly = false)
{
    auto* t = new TableDataSet(db, owner);
    t->setTableName(file);
    t->setReadOnly(readOnly);
    return t;
}

// The rows of a ResizeColumns table: K, then the fractions of the columns
// from 0 (0 for a column that keeps its width).
struct ColumnShares {
    int k;
    std::vector<double> fractions;
};

}  // namespace

void Tfrm_Main::createDataSets()
{
    Connection* db = Database1;
    TblCegek = new TableDataSet(db, this);
    lists::SetupCompanyTable(TblCegek);
    Qry = new QueryDataSet(db, this);
    lists::SetupCustomerQuery(Qry);
    QryFeladat = new QueryDataSet(db, this);
    lists::SetupTaskQuery(QryFeladat);
    TblTermek = new TableDataSet(db, this);
    lists::SetupProductTable(TblTermek);

    Tbl = table(db, this, "ugyfel.DB");
    TblXTipus = table(db, this, "tipus.DB", true);
    TblXCeg = table(db, this, "ceg.DB", true);
    TblXUzletkoto = table(db, this, "uzletkoto.DB", true);
    TblXBeo = table(db, this, "beosztas.DB", true);
    Tbl->addLookupField("tipus_nev", "tipus", TblXTipus, "tipus", "tipus_nev");
    Tbl->addLookupField("ceg_nev", "ceg", TblXCeg, "ceg", "ceg_nev");
    Tbl->addLookupField("uzletkoto_nev", "uzletkoto", TblXUzletkoto, "uzletkoto", "uzletkoto_nev");
    Tbl->addLookupField("beosztas_nev", "beosztas", TblXBeo, "beosztas", "beosztas_nev");

    TblFeladat = table(db, this, "feladat.DB");
    TblYUgyfel = table(db, this, "ugyfel.DB", true);
    TblYCikkszam = table(db, this, "termek.DB", true);
    TblYAllapot = table(db, this, "allapot.DB", true);
    TblYPrioritas = table(db, this, "prioritas.DB", true);
    TblYFeltipus = table(db, this, "feltipus.DB", true);
    TblYFelEredmeny = table(db, this, "feleredmeny.DB", true);
    TblCeg_lnk = table(db, this, "ceg.DB", true);
    TblFeladat->addLookupField("ugyfel_nev", "ugyfel", TblYUgyfel, "Ugyfel", "Ugyfel_nev");
    TblFeladat->addLookupField("cikkszam", "termek", TblYCikkszam, "termek", "cikkszam");
    TblFeladat->addLookupField("cikkszam_nev", "termek", TblYCikkszam, "termek", "cikkszam_nev");
    TblFeladat->addLookupField("allapot_nev", "allapot", TblYAllapot, "allapot", "allapot_nev");
    TblFeladat->addLookupField("prioritas_nev", "prioritas", TblYPrioritas, "prioritas", "prioritas_nev");
    TblFeladat->addLookupField("feltipus_nev", "feltipus", TblYFeltipus, "feltipus", "feltipus_nev");
    TblFeladat->addLookupField("feleredmeny_nev", "feleredmeny", TblYFelEredmeny, "feleredmeny",
                               "feleredmeny_nev");
    TblFeladat->addLookupField("ceg_nev", "ceg", TblCeg_lnk, "ceg", "ceg_nev");

    TblEmil = table(db, this, "emil.DB");
    TblEmil->setExclusive(true);
    QryEmil = new QueryDataSet(db, this);
    QryEmil->setSql(kNewsletterQuery);
    QryJav = new QueryDataSet(db, this);
    QryUpdFigy = new QueryDataSet(db, this);
    QryUpdFigy->setSql({"UPDATE ugyfel SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE ugyfel=:pid;"});
}

void Tfrm_Main::connectDataSets()
{
    TblCegek->afterScroll = [this](DataSet&) { companyMoved(); };
    for (DataSet* ds : {static_cast<DataSet*>(Qry), static_cast<DataSet*>(QryFeladat),
                        static_cast<DataSet*>(TblTermek)})
        connect(ds, &DataSet::currentChanged, this, [this] { UpdateStatusLine(tabIndex()); });
    connect(TabSet1, &QTabBar::currentChanged, this, &Tfrm_Main::tabChange);
    const std::pair<QLineEdit*, int> boxes[] = {{Edit4, 0}, {Edit1, 1}, {Edit2, 2}, {Edit3, 3}};
    for (const auto& [box, tab] : boxes)
        connect(box, &QLineEdit::textChanged, this, [this, tab](const QString& t) { quickSearch(tab, t); });
    connect(aCeg, &QAction::triggered, this, [this] { setTabIndex(0); });
    connect(aUgyfel, &QAction::triggered, this, [this] { setTabIndex(1); });
    connect(aFeladat, &QAction::triggered, this, [this] { setTabIndex(2); });
    connect(aTermek, &QAction::triggered, this, [this] { setTabIndex(3); });
}

DataSet* Tfrm_Main::browseDataSet(int tab) const
{
    switch (tab) {
    case 0:
        return TblCegek;
    case 1:
        return Qry;
    case 2:
        return QryFeladat;
    default:
        return TblTermek;
    }
}

DBGrid* Tfrm_Main::browseGrid(int tab) const
{
    const std::array<DBGrid*, 4> grids = {DBGrid4, DBGrid1, DBGrid2, DBGrid3};
    return grids[size_t(tab)];
}

QLineEdit* Tfrm_Main::quickSearchBox(int tab) const
{
    const std::array<QLineEdit*, 4> boxes = {Edit4, Edit1, Edit2, Edit3};
    return boxes[size_t(tab)];
}

int Tfrm_Main::tabIndex() const { return TabSet1->currentIndex(); }

void Tfrm_Main::setTabIndex(int index)
{
    if (TabSet1->currentIndex() == index) tabChange(index);  // selecting the current tab again
    else TabSet1->setCurrentIndex(index);
}

void Tfrm_Main::HideAllPanels()
{
    for (QWidget* p : {pCeg, pUgyfel, pFeladat, pTermek}) {
        p->setEnabled(false);
        p->hide();
    }
}

void Tfrm_Main::tabChange(int index)
{
    HideAllPanels();
    aSzur->setVisible(false);
    aSzurF->setVisible(false);
    auto showPanel = [](QWidget* p) {
        p->setEnabled(true);
        p->show();
        p->raise();
    };
    switch (index) {
    case 0:
        aSzur->setVisible(true);
        showPanel(pCeg);
        aCeg->setChecked(true);
        TblCegek->open();
        Qry->setFilter("ceg=" + QString::number(TblCegek->fieldByName("ceg")->asInteger()));
        Qry->setFiltered(true);
        Qry->open();
        Edit4->setFocus();
        break;
    case 1:
        aSzur->setVisible(true);
        showPanel(pUgyfel);
        aUgyfel->setChecked(true);
        Qry->open();
        // The companies tab used the list for one company's customers.
        if (!aSzur->isChecked()) Qry->setFiltered(false);
        Qry->setFilter(customerFilter_);
        Qry->setFiltered(aSzur->isChecked());
        Edit1->setFocus();
        break;
    case 2:
        aSzurF->setVisible(true);
        showPanel(pFeladat);
        aFeladat->setChecked(true);
        QryFeladat->open();
        Edit2->setFocus();
        break;
    default:
        showPanel(pTermek);
        aTermek->setChecked(true);
        TblTermek->open();
        Edit3->setFocus();
        break;
    }
    refreshOutdated(index);
    ResizeColumns();
    UpdateStatusLine(index);
}

bool Tfrm_Main::refreshOutdated(int tab)
{
    // The lists stay open while other programs (another Nyilvex, the SQL
    // and maintenance tools) change their tables; the versions tell cheaply
    // whether a list must be read anew.
    bool kept = true;
    switch (tab) {
    case 0:
        TblCegek->refreshIfOutdated(&kept);
        Qry->refreshIfOutdated();
        break;
    case 1: Qry->refreshIfOutdated(&kept); break;
    case 2: QryFeladat->refreshIfOutdated(&kept); break;
    default: TblTermek->refreshIfOutdated(&kept); break;
    }
    return kept;
}

void Tfrm_Main::companyMoved()
{
    // Only the companies tab shows the company's customers; elsewhere the
    // customer list keeps the user's filter.
    if (tabIndex() != 0) return;
    Qry->setFilter("ceg=" + QString::number(TblCegek->fieldByName("ceg")->asInteger()));
    Qry->setFiltered(true);
}

void Tfrm_Main::quickSearch(int tab, const QString& text)
{
    if (text.isEmpty()) return;
    DataSet* ds = browseDataSet(tab);
    if (!ds->isActive()) return;
    const Field* f = ds->findField(Beall.sortFields[size_t(tab)]);
    if (!f) return;
    // Text fields are searched by prefix, whatever the letter case. A number
    // or a date is found only once it is typed whole; text that cannot be
    // one moves nothing.
    QVariant value;
    int options = 0;
    switch (f->dataType()) {
    case engine::FieldType::Alpha:
    case engine::FieldType::Memo:
    case engine::FieldType::FmtMemo:
        value = text;
        options = DataSet::CaseInsensitive | DataSet::PartialKey;
        break;
    case engine::FieldType::Date: {
        // As the grid shows it ("2026. 12. 10."), typed with or without the
        // blanks, whole or only its start; a whole date with a one-digit day
        // or month is found by its value when no shown text starts so.
        const QString shown = ShownDatePrefix(text);
        if (shown.isEmpty()) return;
        if (ds->locate(f->fieldName(), shown, DataSet::PartialKey)) return;
        QDate d;
        for (const char* form : {"yyyy.M.d.", "yyyy.M.d"})
            if (!d.isValid()) d = QDate::fromString(text.simplified().remove(' '), form);
        if (!d.isValid()) return;
        value = d;
        break;
    }
    default: {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok) return;
        value = n;
        break;
    }
    }
    ds->locate(f->fieldName(), value, options);
}

QString ShownDatePrefix(const QString& typed)
{
    static const QRegularExpression separators(QStringLiteral("[.\\-/\\s]+"));
    const QString t = typed.trimmed();
    const QStringList parts = t.split(separators, Qt::SkipEmptyParts);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (parts.isEmpty() || parts.size() > 3) return {};
    // A part followed by another, or by a closing dot, is whole: months and
    // days are shown with two digits.
    const bool closed = t.endsWith(QLatin1Char('.')) || t.endsWith(QLatin1Char('-')) || t.endsWith(QLatin1Char('/'));
    QString out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& p = parts[i];
        const int width = i == 0 ? 4 : 2;
        if (!digits.match(p).hasMatch() || p.size() > width) return {};
        const bool whole = i + 1 < parts.size() || closed;
        out += whole && i > 0 ? p.rightJustified(2, QLatin1Char('0')) : p;
        if (i + 1 < parts.size()) out += QStringLiteral(". ");
        else if (closed) out += QLatin1Char('.');
    }
    return out;
}

QString FilterStateText(bool filtered)
{
    return filtered ? QStringLiteral("Szűrt állomány") : QStringLiteral("Teljes állomány");
}

QString Tfrm_Main::statusText(int panel) const { return StatusPanels[size_t(panel)]->text(); }

void Tfrm_Main::UpdateStatusLine(int tab)
{
    DataSet* ds = browseDataSet(tab);
    StatusPanels[2]->setText("Sorrend: " + ds->displayLabel(Beall.sortFields[size_t(tab)]));
    if (ds->isActive())
        StatusPanels[0]->setText(QString::asprintf("%d / %d", ds->recordCount(), ds->recNo()));
    if (tab == 1) StatusPanels[1]->setText(FilterStateText(aSzur->isChecked()));
    if (tab == 2) StatusPanels[1]->setText(FilterStateText(aSzurF->isChecked()));
}

void Tfrm_Main::resizeGridColumns(DBGrid* grid)
{
    static const std::map<QString, ColumnShares> kShares = {
        {"DBGrid1", {51, {0, 0.29, 0.15, 0.15, 0.15, 0.25}}},
        {"DBGrid2", {70, {0, 0, 0.10, 0.10, 0.12, 0.12, 0.11, 0.11, 0.32}}},
        {"DBGrid3", {51, {0, 0.30, 0.50, 0.19}}},
        {"DBGrid4", {51, {0, 0.29, 0.10, 0.20, 0.20, 0.20}}},
        {"DBGrid5", {51, {0, 0.40, 0.14, 0.15, 0.15, 0.15}}},
    };
    const auto it = kShares.find(grid->objectName());
    if (it == kShares.end()) return;
    const double room = grid->width() - it->second.k;
    const bool roundToEven = grid == DBGrid1;
    for (size_t col = 0; col < it->second.fractions.size(); ++col) {
        const double fraction = it->second.fractions[col];
        if (fraction == 0) continue;  // a marker column keeps its 18 pixels
        const double w = room * fraction;
        // std::nearbyint rounds a half to the even neighbour.
        grid->setColumnWidth(int(col), int(roundToEven ? std::nearbyint(w) : std::trunc(w)));
    }
}

void Tfrm_Main::ResizeColumns()
{
    for (DBGrid* g : {DBGrid1, DBGrid2, DBGrid3, DBGrid4, DBGrid5}) resizeGridColumns(g);
    const int w = StatusBar1->width();
    const int tabWidth = Beall.tabStripWidth;
    TabSet1->setGeometry(w - tabWidth - 20, 2, tabWidth, 17);
    const int panel3 = std::max(0, w - tabWidth - 345);
    int x = 0;
    const int widths[] = {75, 100, 150, panel3, 50};
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        StatusPanels[i]->setGeometry(x, 1, widths[i], 19);
        x += widths[i];
    }
    TabSet1->raise();
}

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event)
{
    // The grids keep their column shares whenever their width changes.
    if (event->type() == QEvent::Resize) {
        if (auto* g = qobject_cast<DBGrid*>(watched)) resizeGridColumns(g);
        else if (watched == StatusBar1) ResizeColumns();
        return false;
    }
    // Over DBGrid1's titles the hand cursor shows where a click sorts.
    if (DBGrid1 && watched == DBGrid1->horizontalHeader()->viewport() && event->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        const int col = DBGrid1->horizontalHeader()->logicalIndexAt(me->position().toPoint());
        DBGrid1->horizontalHeader()->viewport()->setCursor(col >= 1 ? Qt::PointingHandCursor : Qt::ArrowCursor);
        return false;
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || !Edit4 || (box != Edit1 && box != Edit2 && box != Edit3 && box != Edit4)) return false;
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
    const auto* ke = static_cast<QKeyEvent*>(event);
    // The window's command keys (Ctrl+Del, Ctrl+H, ...) belong to the
    // commands, never to the box's own editing keys: the box does not claim
    // them, and a key of a disabled command does nothing here either.
    if (isCommandKey(*ke)) return true;
    if (event->type() == QEvent::KeyPress && box != Edit4 &&
        (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)) {
        browseGrid(tabIndex())->setFocus();
        return true;
    }
    return false;
}

bool Tfrm_Main::isCommandKey(const QKeyEvent& key) const
{
    const QKeySequence pressed(key.keyCombination());
    const QString shared = "\t" + pressed.toString();
    for (const QAction* a : actions())
        if (a->shortcut() == pressed || a->text().endsWith(shared)) return true;
    return false;
}
