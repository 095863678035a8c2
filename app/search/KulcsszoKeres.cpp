#include "KulcsszoKeres.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "SearchWindow.h"
#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/output/Lists.h"
#include "app/output/rptGridPrint.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "engine/Codepage.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"
#include "widgets/WindowConventions.h"

namespace {

const QStringList kCustomers = {
    "SELECT",
    " ugyfel.*,",
    " tipus.tipus_nev,",
    " ceg.ceg_nev",
    "FROM ugyfel",
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
    " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
    "WHERE UPPER(ugyfel.kulcsszavak) LIKE :pkulcs",
    "ORDER BY 1;",
};

const QStringList kProducts = {
    "SELECT * FROM termek",
    "WHERE UPPER(kulcsszavak) LIKE :pkulcs",
    "ORDER BY cikkszam;",
};

const QStringList kCompanies = {
    "SELECT * FROM ceg",
    "WHERE UPPER(kulcsszavak) LIKE :pkulcs",
    "ORDER BY ceg_nev;",
};

// Page captions and the key field of each page's rows, by page index.
const char* const kCaptions[] = {"Cégek", "Ügyfelek", "Feladatok", "Termékek"};
const char* const kKeys[] = {"ceg", "ugyfel", "feladat", "termek"};

struct Column {
    const char* field;
    const char* title;
    int width;
};

QueryDataSet* query(QObject* owner, const QStringList& sql)
{
    auto* q = new QueryDataSet(Connection::byName(DatabaseAlias), owner);
    q->setSql(sql);
    return q;
}

DBGrid* grid(QWidget* parent, const char* name, QueryDataSet* q, std::initializer_list<Column> columns)
{
    auto* g = new DBGrid(parent);
    g->setObjectName(name);
    for (const Column& c : columns) g->addColumn(c.field, c.title, c.width);
    g->setTitleClicksEnabled(false);
    g->setDataSet(q);
    return g;
}

}  // namespace

std::optional<QString> KeywordPattern(const QString& keyword, QString* bad)
{
    auto bytes = engine::utf8ToCp1250(keyword.toStdString());
    if (!bytes.isOk()) {
        if (bad) {
            for (char32_t c : keyword.toUcs4()) {
                const QString one = QString::fromUcs4(&c, 1);
                if (!engine::utf8ToCp1250(one.toStdString()).isOk()) {
                    *bad = one;
                    break;
                }
            }
        }
        return std::nullopt;
    }
    return "%" + QString::fromStdString(engine::cp1250ToUtf8(engine::upperCp1250(*bytes))) + "%";
}

Tfrm_KulcsszoKeres::Tfrm_KulcsszoKeres(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_KulcsszoKeres");
    setWindowTitle("Kulcsszavak keresése");
    resize(680, 440);
    // Enter belongs to "Ugrás a találatra", also in the search box.
    KeepOwnEnter(this);

    Qry1 = query(this, kCustomers);
    using enum lists::TaskRef;
    Qry2 = query(this, lists::TaskSelect({Customer, Product, State, Priority, Kind, Result})
                           << "WHERE UPPER(feladat.kulcsszavak) LIKE :pkulcs" << "ORDER BY feladat;");
    Qry3 = query(this, kProducts);
    Qry4 = query(this, kCompanies);

    aKeres = MakeWindowAction(this, "aKeres", "Keres", {Qt::Key_F3}, Pic::Search);
    aElfogad = MakeWindowAction(this, "aElfogad", "Ugrás a találatra", {Qt::Key_Return, Qt::Key_Enter},
                                Pic::JumpToCompany);
    aMegsem = MakeWindowAction(this, "aMegsem", "Mégsem", {Qt::Key_Escape}, Pic::Close);
    aNyomtat = MakeWindowAction(this, "aNyomtat", "Nyomtat", {QKeySequence(Qt::CTRL | Qt::Key_P)}, Pic::Print);
    aNyomtatKep = MakeWindowAction(this, "aNyomtatKep", "Nyomtatási kép", {QKeySequence(Qt::CTRL | Qt::Key_K)},
                                   Pic::Preview);
    aExcelbe = MakeWindowAction(this, "aExcelbe", "Excelbe", {QKeySequence(Qt::CTRL | Qt::Key_E)}, Pic::Excel);
    aHtml = MakeWindowAction(this, "aHtml", "Html export", {QKeySequence(Qt::CTRL | Qt::Key_H)}, Pic::Html);
    connect(aNyomtat, &QAction::triggered, this, [this] { printPage(true); });
    connect(aNyomtatKep, &QAction::triggered, this, [this] { printPage(false); });
    connect(aExcelbe, &QAction::triggered, this,
            [this] { ShowDelimitedExport(pageQuery(PageControl1->currentIndex()), "Kulcsszó eredmény.csv", this); });
    connect(aHtml, &QAction::triggered, this, [this] {
        const int page = PageControl1->currentIndex();
        ShowHtmlExport(pageGrid(page), kCaptions[page], keyword_, this);
    });
    connect(aKeres, &QAction::triggered, this, [this] { search(Edit1->text()); });
    connect(aElfogad, &QAction::triggered, this, &QDialog::accept);
    connect(aMegsem, &QAction::triggered, this, &QDialog::reject);

    PopupMenu2 = MakeActionMenu(this, {aNyomtat, aNyomtatKep, nullptr, aExcelbe, aHtml});
    ToolBar1 = MakeCaptionToolBar(this, {aKeres, aNyomtat, aElfogad, aMegsem}, aNyomtat, PopupMenu2);
    ToolBar1->setObjectName("ToolBar1");
    PopupMenu1 = MakeActionMenu(this, {aKeres, nullptr, aNyomtat, aNyomtatKep, aExcelbe, nullptr, aElfogad, aMegsem});

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 4, 8, 4);
    Edit1 = new QLineEdit(panel);
    Edit1->setObjectName("Edit1");
    Edit1->setFixedWidth(200);
    btnKeres = new QPushButton("Keres", panel);
    btnKeres->setObjectName("btnKeres");
    btnKeres->setAutoDefault(false);
    connect(btnKeres, &QPushButton::clicked, aKeres, &QAction::trigger);
    auto* caption = new QLabel("Keresés", panel);
    QFont cf = caption->font();
    cf.setBold(true);
    caption->setFont(cf);
    QPalette cp = caption->palette();
    cp.setColor(QPalette::WindowText, cp.color(QPalette::Highlight));
    caption->setPalette(cp);
    row->addWidget(Edit1);
    row->addWidget(btnKeres);
    row->addStretch(1);
    row->addWidget(caption);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    DBGrid4 = grid(PageControl1, "DBGrid4", Qry4,
                   {{"ceg_nev", "cég név", 250}, {"kapcsolat", "kapcsolat", 150}, {"kulcsszavak", "kulcsszavak", 220}});
    DBGrid1 = grid(PageControl1, "DBGrid1", Qry1,
                   {{"Ugyfel_nev", "ügyfél", 200},
                    {"Mobil", "mobil", 110},
                    {"ceg_nev", "cég", 150},
                    {"kulcsszavak", "kulcsszavak", 180}});
    DBGrid2 = grid(PageControl1, "DBGrid2", Qry2,
                   {{"allapot_nev", "állapot", 110},
                    {"prioritas_nev", "prioritás", 110},
                    {"rovid", "rövid leírás", 220},
                    {"kulcsszavak", "kulcsszavak", 180}});
    DBGrid3 = grid(PageControl1, "DBGrid3", Qry3,
                   {{"cikkszam", "cikkszám", 100},
                    {"cikkszam_nev", "termék megnevezés", 220},
                    {"kategoria", "kategória", 90},
                    {"kulcsszavak", "kulcsszavak", 180}});
    const std::array<DBGrid*, 4> grids = {DBGrid4, DBGrid1, DBGrid2, DBGrid3};
    for (int page = 0; page < 4; ++page) {
        DBGrid* g = grids[size_t(page)];
        PageControl1->addTab(g, kCaptions[page]);
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint& p) { PopupMenu1->popup(g->viewport()->mapToGlobal(p)); });
        connect(g, &QAbstractItemView::doubleClicked, aElfogad, &QAction::trigger);
    }
    PageControl1->setCurrentIndex(0);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ToolBar1);
    column->addWidget(panel);
    column->addWidget(PageControl1, 1);
}

Tfrm_KulcsszoKeres::~Tfrm_KulcsszoKeres() { closeQueries(); }

void Tfrm_KulcsszoKeres::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    Edit1->setFocus();
}

QueryDataSet* Tfrm_KulcsszoKeres::pageQuery(int page) const
{
    const std::array<QueryDataSet*, 4> queries = {Qry4, Qry1, Qry2, Qry3};
    return queries[size_t(page)];
}

DBGrid* Tfrm_KulcsszoKeres::pageGrid(int page) const
{
    const std::array<DBGrid*, 4> grids = {DBGrid4, DBGrid1, DBGrid2, DBGrid3};
    return grids[size_t(page)];
}

void Tfrm_KulcsszoKeres::printPage(bool print)
{
    const int page = PageControl1->currentIndex();
    PrintGrid(pageGrid(page), print, true, "Kulcsszó: " + keyword_, QString(), 8, kCaptions[page]);
}

void Tfrm_KulcsszoKeres::closeQueries()
{
    for (QueryDataSet* q : {Qry1, Qry2, Qry3, Qry4}) q->close();
}

bool Tfrm_KulcsszoKeres::search(const QString& keyword)
{
    QString bad;
    const std::optional<QString> pattern = KeywordPattern(keyword, &bad);
    if (!pattern) {
        ShowError("A kulcsszóban olyan karakter van, amely nem szerepel a Windows-1250 kódlapban, így egyetlen "
                  "kulcsszóban sem fordulhat elő: " + bad,
                  this);
        return false;
    }
    closeQueries();
    for (QueryDataSet* q : {Qry1, Qry2, Qry3, Qry4}) {
        q->setParam("pkulcs", QueryDataSet::ParamType::Text, *pattern);
        q->open();
    }
    keyword_ = keyword;
    return true;
}

QVariant Tfrm_KulcsszoKeres::currentKey() const
{
    const int page = PageControl1->currentIndex();
    const QueryDataSet* q = pageQuery(page);
    if (!q->isActive() || q->isEmpty()) return {};
    return q->fieldByName(kKeys[page])->value();
}

void RunKeywordSearch(Tfrm_Main* main, const QString& keyword)
{
    Tfrm_KulcsszoKeres w(main);
    w.Edit1->setText(keyword);
    if (!w.search(keyword)) return;
    if (interaction().runModal(w) != QDialog::Accepted) return;
    const int page = w.PageControl1->currentIndex();
    const QVariant key = w.currentKey();
    main->setTabIndex(page);
    if (key.isValid()) main->browseDataSet(page)->locate(kKeys[page], key);
}
