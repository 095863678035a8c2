#include "TorzsTipus.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "RowEdit.h"
#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"

struct TorzsColumn {
    const char* field;
    const char* title;
    int width;
    Qt::Alignment titleAlignment = {};
};

// One box of the edit window; `chars` 0 is a number.
struct TorzsEdit {
    const char* label;
    const char* field;
    int chars;
};

// What tells the eight reference lists apart.
struct TorzsConfig {
    enum class Extra { None, Colour, DoneFlag };

    const char* form;         // frm_<form> and frm_<form>_Szerkeszt
    const char* caption;
    const char* table;
    const char* key;          // empty: no single key column (name days)
    const char* order;        // index fields; empty: the primary key
    const char* nameField;
    QList<TorzsColumn> columns;
    const char* searchTitle;  // null: no search box
    bool enterToGrid;
    bool focusSearch;
    const char* editCaption;
    QList<TorzsEdit> edits;
    Extra extra;
    QSize size;
};

namespace {

using Extra = TorzsConfig::Extra;

const TorzsConfig kTipus{"TorzsTipus", "Típusok", "tipus.DB", "tipus", "tipus_nev", "Tipus_nev",
                         {{"Tipus_nev", "típus", 260}}, "Típusok", false, true,
                         "Típus szerkesztés", {{"típus", "Tipus_nev", 25}}, Extra::None, {320, 380}};
const TorzsConfig kUzletkoto{"TorzsUzletkoto", "Üzletkötők", "uzletkoto.DB", "uzletkoto", "uzletkoto_nev",
                             "uzletkoto_nev", {{"uzletkoto_nev", "üzletkötő", 300}}, "Üzletkötők", true, false,
                             "Üzletkötő szerkesztés",
                             {{"üzletkötő", "Uzletkoto_nev", 50}, {"telefon", "telefon", 25},
                              {"mobil", "mobil", 25}, {"emil", "emil", 100}},
                             Extra::None, {360, 380}};
const TorzsConfig kBeosztas{"TorzsBeosztas", "Beosztások", "beosztas.DB", "beosztas", "Beosztas_nev",
                            "beosztas_nev", {{"beosztas_nev", "beosztás", 260}}, "Beosztások", false, true,
                            "Beosztás szerkesztés", {{"beosztás", "beosztas_nev", 25}}, Extra::None, {320, 380}};
const TorzsConfig kPrioritas{"TorzsPrioritas", "Prioritások", "prioritas.DB", "prioritas", "", "prioritas_nev",
                             {{"prioritas", "kód", 50},
                              {"prioritas_nev", "prioritás", 190},
                              {"hatid", "határidő", 70, Qt::AlignRight}},
                             nullptr, false, false, "Prioritás",
                             {{"kód", "prioritas", 0}, {"prioritás", "prioritas_nev", 25}, {"határidő", "hatid", 0}},
                             Extra::Colour, {370, 340}};
const TorzsConfig kAllapot{"TorzsAllapot", "Állapotok", "allapot.DB", "allapot", "", "allapot_nev",
                           {{"allapot", "állapot kód", 80}, {"allapot_nev", "név", 190}, {"keszenvan", "kész?", 50}},
                           nullptr, false, false, "Állapot",
                           {{"kód", "allapot", 0}, {"állapot név", "allapot_nev", 25}}, Extra::DoneFlag, {380, 340}};
const TorzsConfig kFeleredmeny{"TorzsFeleredmeny", "Eredmény", "feleredmeny.DB", "feleredmeny", "Feleredmeny_nev",
                               "feleredmeny_nev", {{"feleredmeny_nev", "eredmény", 260}}, "Eredmények", false, true,
                               "Eredmény", {{"eredmény", "feleredmeny_nev", 25}}, Extra::None, {320, 380}};
const TorzsConfig kFeltipus{"TorzsFeltipus", "Feladat típus", "feltipus.DB", "feltipus", "Feltipus_nev",
                            "feltipus_nev", {{"feltipus_nev", "feladat típus", 260}}, "Feladat típusok", false, true,
                            "Feladat típus", {{"feladat típus", "feltipus_nev", 25}}, Extra::None, {320, 380}};
const TorzsConfig kNevnap{"TorzsNevnap", "Névnapok", "nevnap.DB", "", "Nev", "Nev",
                          {{"Nev", "név", 170}, {"Honap", "hónap", 60}, {"Nap", "nap", 60}}, "Névnapok", true, true,
                          "Névnap szerkesztés",
                          {{"keresztnév", "Nev", 25}, {"hónap", "Honap", 0}, {"nap", "Nap", 0}}, Extra::None,
                          {360, 420}};

const TorzsConfig& configOf(Torzs list)
{
    switch (list) {
    case Torzs::Tipus: return kTipus;
    case Torzs::Uzletkoto: return kUzletkoto;
    case Torzs::Beosztas: return kBeosztas;
    case Torzs::Prioritas: return kPrioritas;
    case Torzs::Allapot: return kAllapot;
    case Torzs::Feleredmeny: return kFeleredmeny;
    case Torzs::Feltipus: break;
    }
    return kFeltipus;
}

ListWindow::Setup setupOf(const TorzsConfig& c, bool pick)
{
    ListWindow::Setup s;
    s.formName = QString("frm_") + c.form;
    s.caption = c.caption;
    s.table = c.table;
    s.keyField = c.key;
    s.order = c.order;
    if (c.searchTitle) {
        s.searchField = c.nameField;
        s.searchTitle = c.searchTitle;
    }
    s.pick = pick;
    s.size = c.size;
    return s;
}

// Adding, changing and deleting rows needs the reference-data right.
bool mayChange(QWidget* owner)
{
    if (Beall.referenceRight) return true;
    ShowNoRight(owner);
    return false;
}

}  // namespace

// --- The list -----------------------------------------------------------------

Tfrm_TorzsTipus::Tfrm_TorzsTipus(const TorzsConfig& config, bool pick, QWidget* parent)
    : ListWindow(setupOf(config, pick), parent), config_(config)
{
    aUj = makeAction("aUj", "Új sor", QKeySequence(Qt::Key_Insert));
    aUj->setIcon(Picture(Pic::New));
    aSzerkeszt = makeAction("aSzerkeszt", "Szerkeszt", QKeySequence(Qt::Key_F2));
    aSzerkeszt->setIcon(Picture(Pic::Edit));
    aTorol = makeAction("aTorol", "Sor törlése", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    aTorol->setIcon(Picture(Pic::Delete));
    connect(aUj, &QAction::triggered, this, &Tfrm_TorzsTipus::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_TorzsTipus::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_TorzsTipus::aTorolExecute);

    QList<QAction*> popup{aUj, aSzerkeszt, aTorol, nullptr};
    if (aKeres) popup << aKeres << nullptr;
    popup << aElfogad << aBezar;
    finishBars({aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar}, popup);
    setEnterInSearchGoesToGrid(config.enterToGrid);
    setFocusSearchOnShow(config.focusSearch);

    for (const TorzsColumn& c : config.columns) {
        DBGrid1->addColumn(c.field, c.title, c.width);
        DBGrid1->setColumnTitleAlignment(DBGrid1->gridColumnCount() - 1, c.titleAlignment);
    }
    if (config.extra == Extra::Colour) {
        // Every priority but the selected one in its own colour.
        DBGrid1->onDrawCell = [](DBGridCell& cell) {
            if (!cell.selected) cell.textColor = ColorFromBGR(quint32(VarToInt(cell.value("szin"), 0)));
        };
    }
}

void Tfrm_TorzsTipus::gridDoubleClicked()
{
    if (pickMode()) aElfogad->trigger();
    else aSzerkeszt->trigger();
}

void Tfrm_TorzsTipus::aUjExecute()
{
    if (mayChange(this) && StartRow(*Tbl, true, this)) runEditor();
}

void Tfrm_TorzsTipus::aSzerkesztExecute()
{
    if (mayChange(this) && StartRow(*Tbl, false, this)) runEditor();
}

void Tfrm_TorzsTipus::aTorolExecute()
{
    if (!mayChange(this) || Tbl->isEmpty()) return;
    if (!AskDeleteRow(this)) return;
    try {
        Tbl->remove();
        Tbl->flushBuffers();
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
    }
}

void Tfrm_TorzsTipus::runEditor()
{
    Tfrm_TorzsTipus_Szerkeszt editor(config_, Tbl, this);
    RunRowEditor(editor, *Tbl);
}

// --- The edit window ----------------------------------------------------------

Tfrm_TorzsTipus_Szerkeszt::Tfrm_TorzsTipus_Szerkeszt(const TorzsConfig& config, TableDataSet* tbl,
                                                     QWidget* parent)
    : QDialog(parent), tbl_(tbl)
{
    setObjectName(QString("frm_") + config.form + "_Szerkeszt");
    setWindowTitle(config.editCaption);

    const int labelX = 14, boxX = 110, step = 28;
    int y = 16, right = 0;
    for (const TorzsEdit& e : config.edits) {
        PlaceLabel(this, e.label, labelX, y + 3);
        auto* box = new DBEdit(this);
        box->setObjectName(QString("DBEdit%1").arg(edits.size() + 1));
        const int width = e.chars == 0 ? 57 : std::clamp(e.chars * 7, 120, 260);
        box->setGeometry(boxX, y, width, 21);
        box->setDataSet(tbl);
        box->setDataField(e.field);
        edits << box;
        right = std::max(right, boxX + width);
        y += step;
    }
    if (config.extra == Extra::DoneFlag) {
        DBCheckBox1 = new DBCheckBox("készen van?", this);
        DBCheckBox1->setObjectName("DBCheckBox1");
        DBCheckBox1->setGeometry(boxX, y, 150, 19);
        DBCheckBox1->setDataSet(tbl);
        DBCheckBox1->setDataField("keszenvan");
        y += step;
    }
    if (config.extra == Extra::Colour) {
        Label4 = new QLabel("Színminta", this);
        Label4->setObjectName("Label4");
        QFont f = Label4->font();
        f.setBold(true);
        Label4->setFont(f);
        Label4->setGeometry(labelX, y + 4, 90, 17);
        Button1 = PlaceButton(this, "Button1", "Szín beállítása", boxX, y, false);
        Button1->setFixedWidth(110);
        connect(Button1, &QPushButton::clicked, this, &Tfrm_TorzsTipus_Szerkeszt::Button1Click);
        showColour(ColorFromBGR(quint32(VarToInt(tbl->fieldByName("szin")->value(), 0))));
        y += step + 4;
    }
    const int width = std::max(right + 14, 260);
    btnOK = PlaceButton(this, "btnOK", "OK", width - 172, y + 8);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", width - 89, y + 8);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_TorzsTipus_Szerkeszt::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    SetFixedDialogFrame(this, QSize(width, y + 45));
    if (!edits.isEmpty()) edits.front()->setFocus();
}

void Tfrm_TorzsTipus_Szerkeszt::showColour(const QColor& colour)
{
    colour_ = colour;
    QPalette p = Label4->palette();
    p.setColor(QPalette::WindowText, colour);
    Label4->setPalette(p);
}

void Tfrm_TorzsTipus_Szerkeszt::Button1Click()
{
    if (const auto chosen = interaction().chooseColor(this, colour_)) showColour(*chosen);
}

void Tfrm_TorzsTipus_Szerkeszt::btnOKClick()
{
    // The colour is stored with the row, while the window is open.
    if (Label4) tbl_->fieldByName("szin")->setValue(int(ColorToBGR(colour_)));
    if (SaveRow(*tbl_, this)) accept();
}

// --- Entry operations ---------------------------------------------------------

int ShowList(Torzs list, int key, bool pick, QWidget* owner)
{
    Tfrm_TorzsTipus w(configOf(list), pick, owner);
    return w.choose(key);
}

int ShowListWithName(Torzs list, int key, bool pick, QString& name, QWidget* owner)
{
    const TorzsConfig& config = configOf(list);
    Tfrm_TorzsTipus w(config, pick, owner);
    return w.choose(key, config.nameField, name);
}

int ShowListWithDeadline(int key, bool pick, int& deadline, QWidget* owner)
{
    Tfrm_TorzsTipus w(kPrioritas, pick, owner);
    if (!w.run(key)) return -1;
    deadline = w.Tbl->isEmpty() ? 0 : w.Tbl->fieldByName("hatid")->asInteger();
    return w.currentKey();
}

void ShowNameDayList(QWidget* owner)
{
    Tfrm_TorzsTipus w(kNevnap, false, owner);
    w.run(-1);
}
