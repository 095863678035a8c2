// Tfrm_Main: commands, menus, tool bars, the four tab panels with their
// title bars and details panels, and the status bar with the tab strip.
#include "Main.h"

#include <QAction>
#include <QActionGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <map>

#include "Beall.h"
#include "DetailLink.h"
#include "ImageList.h"
#include "app/dialogs/Pictures.h"
#include "common/DataSet.h"
#include "widgets/DBGrid.h"
#include "widgets/WindowConventions.h"

namespace {

struct ActionDef {
    QAction* Tfrm_Main::*member;
    const char* name;
    const char* category;
    const char* caption;
    const char* hint;  // empty: the caption
    const char* key;
    Pic picture;
};

// In the order the window holds them: a key carried by two commands goes to
// the first of them that is visible.
const ActionDef kActions[] = {
    {&Tfrm_Main::aUj, "aUj", "Ügyfelek", "Új", "", "Ins", Pic::New},
    {&Tfrm_Main::aSzerkeszt, "aSzerkeszt", "Ügyfelek", "Szerkeszt", "", "F2", Pic::Edit},
    {&Tfrm_Main::aTorol, "aTorol", "Ügyfelek", "Töröl", "", "Ctrl+Del", Pic::Delete},
    {&Tfrm_Main::aNyomtatkep, "aNyomtatkep", "Ügyfelek", "Nyomtatási kép", "", "Ctrl+K", Pic::Preview},
    {&Tfrm_Main::aNyomtat, "aNyomtat", "Ügyfelek", "Nyomtat", "", "Ctrl+P", Pic::Print},
    {&Tfrm_Main::aExcel, "aExcel", "Ügyfelek", "Excelbe", "", "Ctrl+E", Pic::Excel},
    {&Tfrm_Main::aBezar, "aBezar", "Ügyfelek", "Bezár", "", "", Pic::Close},
    {&Tfrm_Main::aFelhasznalo, "aFelhasznalo", "Rendszer", "Felhasználók", "", "", Pic::Users},
    {&Tfrm_Main::aSQL, "aSQL", "Rendszer", "Szabad lekérdezés", "", "", Pic::Sql},
    {&Tfrm_Main::aArchiv, "aArchiv", "Rendszer", "Adatbázis archiválása", "", "", Pic::Archive},
    {&Tfrm_Main::aBeallit, "aBeallit", "Rendszer", "Beállítások", "", "", Pic::Settings},
    {&Tfrm_Main::aSugo, "aSugo", "Súgó", "Súgó", "", "F1", Pic::Help},
    {&Tfrm_Main::aFontos, "aFontos", "Súgó", "Fontos információk", "", "", Pic::Info},
    {&Tfrm_Main::aHonlap, "aHonlap", "Súgó", "Tarvio honlapja", "", "", Pic::Web},
    {&Tfrm_Main::aLevel, "aLevel", "Súgó", "Levélküldés Tarvionak", "", "", Pic::Mail},
    {&Tfrm_Main::aVedazero, "aVedazero", "Súgó", "Újdonságok", "", "", Pic::News},
    {&Tfrm_Main::aNevjegy, "aNevjegy", "Súgó", "Névjegy", "", "", Pic::Info},
    {&Tfrm_Main::aFigyelmeztet, "aFigyelmeztet", "Eszközök", "Figyelmeztet", "Figyelmeztetés beállítás", "Ctrl+I",
     Pic::Reminder},
    {&Tfrm_Main::aZoduvoza, "aZoduvoza", "Eszközök", "Hírlevél", "Hírlevél adatbázis generálás", "Ctrl+H",
     Pic::Newsletter},
    {&Tfrm_Main::aKeres, "aKeres", "Keresés", "Keresés", "", "Ctrl+F", Pic::Search},
    {&Tfrm_Main::aSzur, "aSzur", "Keresés", "Szűr", "", "F3", Pic::Filter},
    {&Tfrm_Main::aTorzsNevnap, "aTorzsNevnap", "Törzsadatok", "Névnapok", "", "", Pic::NameDays},
    {&Tfrm_Main::aTorzsCegek, "aTorzsCegek", "Törzsadatok", "Cégek", "", "", Pic::Companies},
    {&Tfrm_Main::aTorzsTipus, "aTorzsTipus", "Törzsadatok", "Ügyfél típusok", "", "", Pic::Types},
    {&Tfrm_Main::aTorzsCimke, "aTorzsCimke", "Törzsadatok", "Címkék", "", "", Pic::Labels},
    {&Tfrm_Main::aCimkeNyom, "aCimkeNyom", "Eszközök", "Címke", "Boríték címke nyomtatás", "", Pic::LabelPrint},
    {&Tfrm_Main::aCsatolt, "aCsatolt", "Ügyfelek", "Dokumentum", "Csatolt dokumentumok", "Ctrl+D", Pic::Document},
    {&Tfrm_Main::aKeresReszletes, "aKeresReszletes", "Keresés", "Részletes", "Részletes keresés", "Ctrl+T",
     Pic::SearchDetails},
    {&Tfrm_Main::aLeveletNeki, "aLeveletNeki", "Ügyfelek", "E-Mail", "Levelet neki...", "Ctrl+L", Pic::Mail},
    {&Tfrm_Main::aUzletkoto, "aUzletkoto", "Törzsadatok", "Üzletkötők", "", "", Pic::Agents},
    {&Tfrm_Main::aMegjegyzes, "aMegjegyzes", "Ügyfelek", "Megjegyzés", "Megjegyzések", "Ctrl+M", Pic::Note},
    {&Tfrm_Main::aNyomEgyszeru, "aNyomEgyszeru", "Nyomtatások", "Egyszerű lista", "", "", Pic::ListSimple},
    {&Tfrm_Main::aNyomReszletes, "aNyomReszletes", "Nyomtatások", "Részletes lista", "", "", Pic::ListDetails},
    {&Tfrm_Main::aNyomCegSzerint, "aNyomCegSzerint", "Nyomtatások", "Ügyfelek cégenként (összes)", "", "",
     Pic::ListSimple},
    {&Tfrm_Main::aNyomCegSzerint1, "aNyomCegSzerint1", "Nyomtatások", "Ügyfelek cégenként (egy cég)", "", "",
     Pic::ListDetails},
    {&Tfrm_Main::aMegjegyzesUj, "aMegjegyzesUj", "Ügyfelek", "Új megjegyzés", "", "Shift+Ctrl+M", Pic::NoteNew},
    {&Tfrm_Main::aNyomMegjegyzes, "aNyomMegjegyzes", "Nyomtatások", "Megjegyzések nyomtatása", "", "",
     Pic::PrintNotes},
    {&Tfrm_Main::aNyomErtesit, "aNyomErtesit", "Nyomtatások", "Értesítések nyomtatása", "", "", Pic::PrintNotes},
    {&Tfrm_Main::aUgyfel, "aUgyfel", "Ablak", "Ügyfelek", "", "Alt+1", Pic::Customers},
    {&Tfrm_Main::aFeladat, "aFeladat", "Ablak", "Feladatok", "", "Alt+2", Pic::Tasks},
    {&Tfrm_Main::aTermek, "aTermek", "Ablak", "Termékek", "", "Alt+3", Pic::Products},
    {&Tfrm_Main::aTorzsAllapot, "aTorzsAllapot", "Törzsadatok", "Állapotok", "", "", Pic::Types},
    {&Tfrm_Main::aTorzsPrioritas, "aTorzsPrioritas", "Törzsadatok", "Prioritások", "", "", Pic::Types},
    {&Tfrm_Main::aTorzsFeltipus, "aTorzsFeltipus", "Törzsadatok", "Feladat típusok", "", "", Pic::Types},
    {&Tfrm_Main::aTorzsFelEredmeny, "aTorzsFelEredmeny", "Törzsadatok", "Feladat eredmények", "", "", Pic::Types},
    {&Tfrm_Main::aSzurF, "aSzurF", "Keresés", "Szűrés", "", "F3", Pic::Filter},
    {&Tfrm_Main::aFeladatBongeszo, "aFeladatBongeszo", "Nyomtatások", "Feladatok", "Feladat böngésző", "Ctrl+B",
     Pic::TaskBrowser},
    {&Tfrm_Main::aKulcsszoKeres, "aKulcsszoKeres", "Keresés", "Kulcsszó", "Kulcsszó keresés", "Ctrl+U",
     Pic::Keyword},
    {&Tfrm_Main::aKorlevel, "aKorlevel", "Ügyfelek", "Körlevél", "", "Ctrl+F8", Pic::FormLetter},
    {&Tfrm_Main::aCeg, "aCeg", "Ablak", "Cégek", "", "", Pic::Companies},
    {&Tfrm_Main::aUgrikCeg, "aUgrikCeg", "Keresés", "Cégre...", "Ugrás a cégre", "", Pic::JumpToCompany},
    {&Tfrm_Main::aErtesit, "aErtesit", "Ügyfelek", "Értesítés", "Értesítések", "Ctrl+R", Pic::Notification},
    {&Tfrm_Main::aHtml, "aHtml", "Ügyfelek", "Html export", "", "Ctrl+H", Pic::Html},
    {&Tfrm_Main::aBoritek, "aBoritek", "Ügyfelek", "Boríték", "Boríték nyomtatás", "Ctrl+I", Pic::Envelope},
    {&Tfrm_Main::aAjanlott, "aAjanlott", "Ügyfelek", "Ajánlott szelvény kitöltés", "", "Shift+Ctrl+I",
     Pic::Registered},
};

QToolBar* toolBar(QWidget* parent, Qt::ToolButtonStyle style)
{
    auto* bar = new QToolBar(parent);
    bar->setToolButtonStyle(style);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

// Commands into a tool bar or menu; a null entry is a separator.
template <class Holder>
void fill(Holder* holder, const QList<QAction*>& actions)
{
    for (QAction* a : actions) {
        if (a) holder->addAction(a);
        else holder->addSeparator();
    }
}

// The tool button of `action` on `bar` drops `menu` down from its arrow.
void dropDown(QToolBar* bar, QAction* action, QMenu* menu)
{
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
        b->setMenu(menu);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

QLabel* greyLabel(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(128, 128, 128));
    l->setPalette(p);
    return l;
}

// The texts of a details panel, laid out in columns of label and text.
// Widths the one-line values ask for, whatever the row holds, so that the
// label columns stay where they are as the current row changes.
constexpr int kValueWidth = 150;
constexpr int kPrefixWidth = 30;
constexpr int kNameWidth = 220;

class DetailsBuilder {
public:
    DetailsBuilder(QWidget* panel, DataSet* ds) : panel_(panel), ds_(ds), row_(new QHBoxLayout(panel))
    {
        row_->setContentsMargins(6, 4, 6, 4);
        row_->setSpacing(18);
    }

    void nextColumn(int stretch = 0)
    {
        grid_ = new QGridLayout;
        grid_->setHorizontalSpacing(6);
        grid_->setVerticalSpacing(1);
        grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        row_->addLayout(grid_, stretch);
        line_ = 0;
    }

    DBText* text(const QString& label, const char* field, bool bold = false, DetailLink* link = nullptr)
    {
        DBText* t = link ? link : new DBText(panel_);
        bind(t, field, bold);
        t->setElided(kValueWidth);
        if (!label.isEmpty()) grid_->addWidget(greyLabel(panel_, label), line_, 0);
        grid_->addWidget(t, line_, label.isEmpty() ? 0 : 1, 1, label.isEmpty() ? 2 : 1);
        ++line_;
        return t;
    }

    // Texts side by side on one line, without a label (prefix and name).
    void boldPair(const char* first, const char* second)
    {
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        const std::pair<const char*, int> parts[] = {{first, kPrefixWidth}, {second, kNameWidth}};
        for (const auto& [f, width] : parts) {
            auto* t = new DBText(panel_);
            bind(t, f, true);
            t->setElided(width);
            line->addWidget(t);
        }
        line->addStretch();
        grid_->addLayout(line, line_++, 0, 1, 2);
    }

    // "figyelmeztetés" with the date, the text word-wrapped under it.
    void reminder()
    {
        text("figyelmeztetés", "dat_figy");
        wrapped("figy_szoveg");
    }

    void wrapped(const char* field, const QString& label = QString())
    {
        auto* t = new DBText(panel_);
        bind(t, field, false);
        t->setWordWrap(true);
        t->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        t->setMinimumWidth(160);
        if (!label.isEmpty()) grid_->addWidget(greyLabel(panel_, label), line_, 0, Qt::AlignTop);
        grid_->addWidget(t, line_++, label.isEmpty() ? 0 : 1, 3, label.isEmpty() ? 2 : 1);
    }

    void finish() { row_->addStretch(); }

private:
    void bind(DBText* t, const char* field, bool bold)
    {
        t->setTextFormat(Qt::PlainText);
        // A long value neither widens the window beyond the screen nor
        // squeezes the other texts out of the panel.
        t->setMaximumWidth(220);
        t->setObjectName(QString("txt_") + field);
        t->setDataSet(ds_);
        t->setDataField(field);
        if (bold) {
            QFont f = t->font();
            f.setBold(true);
            t->setFont(f);
        }
    }

    QWidget* panel_;
    DataSet* ds_;
    QHBoxLayout* row_;
    QGridLayout* grid_ = nullptr;
    int line_ = 0;
};

}  // namespace

void Tfrm_Main::createActions()
{
    std::map<QString, QList<QAction*>> byKey;
    for (const ActionDef& d : kActions) {
        auto* a = new QAction(Picture(d.picture), d.caption, this);
        a->setObjectName(d.name);
        a->setIconText(d.caption);
        a->setProperty("category", QString(d.category));
        const QString hint = *d.hint ? d.hint : d.caption;
        a->setToolTip(hint);
        a->setStatusTip(hint);
        addAction(a);
        this->*d.member = a;
        if (*d.key) byKey[QKeySequence(d.key).toString()].append(a);
    }
    // A key of one command is that command's shortcut. A key that several
    // carry is one shortcut that runs the first of them that is visible
    // (so F3 reaches the filter command shown on the current tab); the
    // others show it in their menus only.
    for (const auto& [key, actions] : byKey) {
        if (actions.size() == 1) {
            actions.front()->setShortcut(QKeySequence(key));
            continue;
        }
        for (QAction* a : actions) a->setText(a->iconText() + "\t" + key);
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [actions] {
            for (QAction* a : actions)
                if (a->isVisible()) {
                    a->trigger();
                    return;
                }
        });
    }

    TabActions = new QActionGroup(this);
    for (QAction* a : {aUgyfel, aFeladat, aTermek}) {
        a->setCheckable(true);
        TabActions->addAction(a);
    }
    aUgyfel->setChecked(true);
    aCeg->setCheckable(true);
    aSzur->setCheckable(true);
    aSzurF->setCheckable(true);
}

void Tfrm_Main::createMenus()
{
    PopupMenu1 = new QMenu(this);
    fill(PopupMenu1, {aUj, aSzerkeszt, aTorol, nullptr, aKeres, aKeresReszletes, aSzur, nullptr, aNyomtat,
                            aNyomtatkep, aExcel, nullptr, aCsatolt, aMegjegyzes});
    PopupMenu2 = new QMenu(this);
    fill(PopupMenu2, {aMegjegyzes, aMegjegyzesUj, nullptr, aNyomMegjegyzes});
    PopupMenu3 = new QMenu(this);
    fill(PopupMenu3, {aNyomtat, aNyomtatkep, nullptr, aExcel, aHtml});
    PopupMenu4 = new QMenu(this);
    fill(PopupMenu4, {aBoritek, aAjanlott, aCimkeNyom});

    const std::pair<const char*, QList<QAction*>> menus[] = {
        {"Rekordok", {aUj, aSzerkeszt, aTorol, nullptr, aMegjegyzes, aCsatolt, aErtesit, nullptr, aNyomtat,
                      aNyomtatkep, aExcel, aHtml, nullptr, aKorlevel, nullptr, aBezar}},
        {"Keresés", {aKeres, aKeresReszletes, aKulcsszoKeres, nullptr, aSzur, aSzurF}},
        {"Törzsadatok", {aTorzsNevnap, aTorzsCegek, aTorzsTipus, aTorzsCimke, aUzletkoto, nullptr, aTorzsAllapot,
                         aTorzsPrioritas, aTorzsFeltipus, aTorzsFelEredmeny}},
        {"Eszközök", {aFigyelmeztet, nullptr, aZoduvoza, aCimkeNyom}},
        {"Nyomtatások", {aNyomEgyszeru, aNyomReszletes, nullptr, aNyomMegjegyzes, aNyomErtesit, nullptr}},
        {"Rendszer", {aFelhasznalo, nullptr, aSQL, aArchiv, nullptr, aBeallit}},
        {"Ablak", {aUgyfel, aFeladat, aTermek}},
        {"Súgó", {aSugo, nullptr, aFontos, nullptr, aHonlap, aLevel, aVedazero, nullptr, aNevjegy}},
    };
    for (const auto& [title, actions] : menus) {
        auto* menu = new QMenu(title, this);
        menu->setObjectName(QString("mnu") + title);
        fill(menu, actions);
        MainMenu1.append(menu);
    }
    QMenu* byCompany = MainMenu1[4]->addMenu("Ügyfelek nyomtatásai");
    fill(byCompany, {aNyomCegSzerint, aNyomCegSzerint1});
}

QWidget* Tfrm_Main::createTopBand()
{
    auto* band = new QWidget(this);
    band->setFixedHeight(56);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Image1 = new QLabel(band);
    Image1->setFixedWidth(49);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(AboutPicture().scaled(45, 45, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    row->addWidget(Image1);

    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    ToolBarMenu = toolBar(band, Qt::ToolButtonTextOnly);
    ToolBarMenu->setObjectName("ToolBarMenu");
    for (QMenu* menu : std::as_const(MainMenu1)) {
        auto* b = new QToolButton(ToolBarMenu);
        b->setText(menu->title());
        b->setMenu(menu);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setAutoRaise(true);
        b->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0px; }");
        ToolBarMenu->addWidget(b);
    }
    ToolBar1 = toolBar(band, Qt::ToolButtonIconOnly);
    ToolBar1->setObjectName("ToolBar1");
    fill(ToolBar1, {aUgyfel, aFeladat, aTermek, nullptr, aBeallit, aArchiv, nullptr, aSugo, aHonlap, aLevel,
                          aVedazero, nullptr, aBezar});
    rows->addWidget(ToolBarMenu);
    rows->addWidget(ToolBar1);
    row->addLayout(rows, 1);
    return band;
}

QWidget* Tfrm_Main::createPanel(int tab)
{
    static const char* const kNames[] = {"pCeg", "pUgyfel", "pFeladat", "pTermek"};
    static const char* const kCaptions[] = {"Cégek", "Alkalmazottak", "Feladatok", "Termékek"};
    auto* panel = new QWidget(this);
    panel->setObjectName(kNames[tab]);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The two-row tool area.
    QToolBar* row1 = toolBar(panel, Qt::ToolButtonTextUnderIcon);
    QToolBar* row2 = toolBar(panel, Qt::ToolButtonTextUnderIcon);
    row1->setObjectName(QString(kNames[tab]) + "_ToolBar1");
    row2->setObjectName(QString(kNames[tab]) + "_ToolBar2");
    switch (tab) {
    case 0:
        fill(row1, {aKeresReszletes, aSzurF, aKulcsszoKeres, nullptr, aUj, aSzerkeszt, aTorol});
        fill(row2, {aNyomtat, nullptr, aCsatolt, aMegjegyzes, aKorlevel, aErtesit, nullptr, aFigyelmeztet});
        break;
    case 1:
        fill(row1, {aKeresReszletes, aSzur, aKulcsszoKeres, nullptr, aUj, aSzerkeszt, aTorol, nullptr,
                          aFeladatBongeszo, nullptr, aUgrikCeg});
        fill(row2, {aNyomtat, nullptr, aCsatolt, aMegjegyzes, aKorlevel, aErtesit, nullptr, aFigyelmeztet,
                          nullptr, aZoduvoza, aBoritek, nullptr, aLeveletNeki});
        dropDown(row2, aBoritek, PopupMenu4);
        break;
    case 2:
        fill(row1, {aKeresReszletes, aSzurF, aKulcsszoKeres, nullptr, aUj, aSzerkeszt, aTorol});
        fill(row2, {aNyomtat, nullptr, aCsatolt, aMegjegyzes, aKorlevel, nullptr, aFigyelmeztet, nullptr,
                          aUgrikCeg});
        break;
    default:
        fill(row1, {aKeresReszletes, aSzur, aKulcsszoKeres, nullptr, aUj, aSzerkeszt, aTorol});
        fill(row2, {aNyomtat, aCsatolt, aMegjegyzes, nullptr, aKorlevel, nullptr, aFigyelmeztet, nullptr,
                          aFeladatBongeszo});
        break;
    }
    dropDown(row2, aNyomtat, PopupMenu3);
    dropDown(row2, aMegjegyzes, PopupMenu2);
    column->addWidget(row1);
    column->addWidget(row2);

    // The title bar: quick search at the left, caption in the middle, the
    // name-day line at the right.
    auto* title = new QWidget(panel);
    title->setObjectName(QString(kNames[tab]) + "_Title");
    title->setAutoFillBackground(true);
    QPalette tp = title->palette();
    tp.setColor(QPalette::Window, tp.color(QPalette::Button));
    title->setPalette(tp);
    auto* titleGrid = new QGridLayout(title);
    titleGrid->setContentsMargins(2, 2, 4, 2);
    auto* search = new QLineEdit(title);
    search->setFixedWidth(121);
    search->setObjectName(QString("Edit%1").arg(tab == 0 ? 4 : tab));
    search->installEventFilter(this);
    if (tab != 0) KeepOwnEnter(search);  // Enter goes to the grid
    auto* caption = new QLabel(kCaptions[tab], title);
    QFont cf("Tahoma");
    cf.setPointSize(9);
    cf.setBold(true);
    caption->setFont(cf);
    caption->setAlignment(Qt::AlignCenter);
    auto* nameDays = new QLabel(title);
    nameDays->setObjectName(QString("lblNevnap%1").arg(tab));
    QFont nf = nameDays->font();
    nf.setBold(true);
    nameDays->setFont(nf);
    QPalette np = nameDays->palette();
    np.setColor(QPalette::WindowText, np.color(QPalette::Highlight));
    nameDays->setPalette(np);
    titleGrid->addWidget(caption, 0, 0);
    titleGrid->addWidget(search, 0, 0, Qt::AlignLeft);
    titleGrid->addWidget(nameDays, 0, 0, Qt::AlignRight);
    lblNevnap[size_t(tab)] = nameDays;
    column->addWidget(title);

    // Every grid of the window, the companies' lower one too, has pop-up menu 1.
    auto newGrid = [this, panel] {
        auto* g = new DBGrid(panel);
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint& p) { PopupMenu1->popup(g->viewport()->mapToGlobal(p)); });
        return g;
    };
    auto* grid = newGrid();
    switch (tab) {
    case 0:
        Edit4 = search;
        DBGrid4 = grid;
        grid->setObjectName("DBGrid4");
        DBGrid5 = newGrid();
        DBGrid5->setObjectName("DBGrid5");
        Splitter1 = new QSplitter(Qt::Vertical, panel);
        Splitter1->setObjectName("Splitter1");
        Splitter1->setChildrenCollapsible(false);
        Splitter1->addWidget(grid);
        Splitter1->addWidget(DBGrid5);
        Splitter1->setStretchFactor(0, 1);
        Splitter1->setSizes({400, 109});
        column->addWidget(Splitter1, 1);
        return panel;
    case 1:
        Edit1 = search;
        DBGrid1 = grid;
        break;
    case 2:
        Edit2 = search;
        DBGrid2 = grid;
        break;
    default:
        Edit3 = search;
        DBGrid3 = grid;
        break;
    }
    grid->setObjectName(QString("DBGrid%1").arg(tab));
    column->addWidget(grid, 1);
    column->addWidget(createDetails(tab));
    return panel;
}

QWidget* Tfrm_Main::createDetails(int tab)
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QString("pDetails%1").arg(tab));
    panel->setFixedHeight(87);
    DetailsBuilder b(panel, browseDataSet(tab));
    // Task and product texts that lead to the customer list's links.
    auto link = [this, panel](int which) {
        auto* l = new DetailLink(panel, false);
        l->onClick = [this, which] { openEmailLink(which); };
        return l;
    };
    switch (tab) {
    case 1: {
        b.nextColumn();
        b.boldPair("prefix", "Ugyfel_nev");
        b.text("telefon", "Telefon_ceges");
        b.text("mobil", "Mobil");
        b.text("fax", "Fax");
        b.nextColumn();
        lnkEmil1 = new DetailLink(panel, true);
        lnkEmil1->onClick = [this] { openEmailLink(1); };
        lnkEmil2 = new DetailLink(panel, true);
        lnkEmil2->onClick = [this] { openEmailLink(2); };
        lnkHonlap = new DetailLink(panel, true);
        lnkHonlap->onClick = [this] { openEmailLink(3); };
        b.text("e-mail 1.", "Emil1", false, lnkEmil1);
        b.text("e-mail 2.", "Emil2", false, lnkEmil2);
        b.text("honlap", "Honlap", false, lnkHonlap);
        b.nextColumn();
        b.text("típus", "tipus_nev");
        b.text("üzletkötő", "uzletkoto_nev");
        b.text("cég", "ceg_nev");
        b.nextColumn(1);
        b.reminder();
        b.nextColumn(1);
        b.wrapped("kulcsszavak", "kulcsszavak");
        break;
    }
    case 2:
        b.nextColumn();
        b.text("", "rovid", true);
        b.text("beérk", "dat_beerk");
        b.text("határidő", "dat_hatid", false, link(1));
        b.nextColumn();
        b.text("ügyfél", "ugyfel_nev", false, link(2));
        b.text("termék", "cikkszam_nev", false, link(3));
        b.text("prioritás", "prioritas_nev");
        b.nextColumn();
        b.text("típus", "feltipus_nev");
        b.text("állapot", "allapot_nev");
        b.text("eredmény", "feleredmeny_nev");
        b.nextColumn(1);
        b.reminder();
        break;
    default:
        b.nextColumn();
        b.text("", "cikkszam_nev", true);
        b.text("cikkszám", "cikkszam");
        b.text("kat.", "kategoria", false, link(1));
        b.nextColumn(1);
        b.reminder();
        break;
    }
    b.finish();
    return panel;
}

void Tfrm_Main::createStatusBar()
{
    StatusBar1 = new QWidget(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFixedHeight(21);
    static const int kWidths[] = {75, 100, 150, 200, 50};
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        auto* l = new QLabel(StatusBar1);
        l->setObjectName(QString("StatusPanel%1").arg(i));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
        l->setContentsMargins(2, 0, 2, 0);
        l->resize(kWidths[i], 19);
        StatusPanels[i] = l;
    }
    StatusPanels[1]->setText(FilterStateText(false));

    TabSet1 = new QTabBar(StatusBar1);
    TabSet1->setObjectName("TabSet1");
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->setDrawBase(false);
    TabSet1->setExpanding(false);
    TabSet1->setUsesScrollButtons(false);
    TabSet1->setElideMode(Qt::ElideNone);
    // Drawn whole by the sheet: the style's own tabs do not fit 17 pixels.
    TabSet1->setStyleSheet(
        "QTabBar::tab { height: 15px; padding: 0px 6px; margin: 0px; border: 1px solid palette(mid);"
        " border-top: none; border-bottom-left-radius: 3px; border-bottom-right-radius: 3px;"
        " background: palette(button); color: palette(button-text); }"
        "QTabBar::tab:!first { margin-left: -1px; }"
        "QTabBar::tab:selected { background: palette(base); }"
        "QTabBar::tab:!selected { height: 14px; }");
    for (const char* t : {"Cégek", "Alkalmazottak", "Feladatok", "Termékek"}) TabSet1->addTab(t);
    TabSet1->resize(Beall.tabStripWidth, 17);
}
