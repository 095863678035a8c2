#include "Upd_Main.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <vector>

#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

namespace {

// ---- Index rebuild -------------------------------------------------------

struct SecondaryIndex {
    const char* name;
    const char* field;
    bool caseInsensitive;
    bool descending;
};

struct IndexPlan {
    const char* table;
    const char* primary;  // key fields, ";"-separated
    std::vector<SecondaryIndex> secondaries;
};

constexpr bool ci = true;
constexpr bool desc = true;

// The tables whose indexes the rebuild knows, in the order it works on them.
// Their index files are named after the table: ".PX" for the primary index,
// ".XGn"/".YGn" for the n-th secondary index.
const std::vector<IndexPlan>& indexPlans()
{
    static const std::vector<IndexPlan> plans = {
        {"termek", "termek",
         {{"idx_cikkszam", "cikkszam", ci, false},
          {"idx_cikkszam_nev", "cikkszam_nev", ci, false},
          {"idx_kategoria", "kategoria", ci, false}}},
        {"kategoria", "kategoria", {}},
        {"ugyf_ertesit", "ugyf_ertesit", {{"idx_dat_desc", "datum", false, desc}}},
        {"beallit", "beallit", {}},
        {"prioritas", "prioritas", {}},
        {"feladat", "feladat", {}},
        {"allapot", "allapot", {}},
        {"beosztas", "beosztas", {{"idx_beosztas_nev", "beosztas_nev", ci, false}}},
        {"ceg", "ceg",
         {{"idx_ceg_nev", "ceg_nev", ci, false},
          {"idx_cim_irsz", "cim_irsz", ci, false},
          {"idx_cim_varos", "cim_varos", ci, false},
          {"idx_cim_cim", "cim_cim", ci, false},
          {"idx_telefon", "telefon", ci, false},
          {"idx_dat_figy", "dat_figy", ci, false}}},
        {"cimke", "cimke", {}},
        {"felhasznalo", "felhasznalo", {}},
        {"irsz", "id", {}},
        {"korlevel", "korlevel", {{"idx_rovid", "rovid", ci, false}}},
        {"megj", "ugyfel;doknev", {}},
        {"nevnap", "honap;nap;nev", {{"nev", "nev", ci, false}}},
        {"tipus", "tipus", {{"idx_tipus_nev", "tipus_nev", ci, false}}},
        {"tulajdonos", "tulajdonos", {}},
        {"ugyf_megj", "ugyf_megj", {{"idx_datum_desc", "datum", false, desc}}},
        {"ugyfel", "ugyfel", {{"idx_ugyfel_nev", "ugyfel_nev", ci, false}}},
        {"uzletkoto", "uzletkoto", {{"idx_uzletkoto_nev", "uzletkoto_nev", ci, false}}},
    };
    return plans;
}

QStringList indexFiles(const IndexPlan& plan)
{
    const QString table = QString::fromLatin1(plan.table);
    QStringList files{table + ".PX"};
    for (std::size_t n = 0; n < plan.secondaries.size(); ++n)
        files << table + ".XG" + QString::number(n) << table + ".YG" + QString::number(n);
    return files;
}

// ---- Version upgrade -----------------------------------------------------

struct NewTable {
    const char* upperName;
    QStringList create;
    QStringList insert;  // the first row of a table that must not be empty
};

// Tables an older database may lack, with the layout they are created in.
const std::vector<NewTable>& newTables()
{
    static const std::vector<NewTable> tables = {
        {"UGYF_ERTESIT",
         {"CREATE TABLE ugyf_ertesit(", " ugyf_ertesit AUTOINC,", " ugyfel INT,", " datum DATE,",
          " rovid CHAR(50),", " tipus INT,", "PRIMARY KEY (ugyf_ertesit));"},
         {}},
        {"KORLEVEL",
         {"CREATE TABLE korlevel(", " korlevel AUTOINC,", " rovid CHAR(75),", " szoveg BLOB(0,3),",
          " tipus INT,", "PRIMARY KEY (korlevel));"},
         {}},
        {"TERMEK",
         {"CREATE TABLE termek (", " termek AUTOINC,", " cikkszam CHAR(15),", " cikkszam_nev CHAR(50),",
          " kategoria CHAR(10),", "PRIMARY KEY (termek));"},
         {}},
        {"KATEGORIA",
         {"CREATE TABLE kategoria (", " kategoria CHAR(10),", " kategoria_nev CHAR(50),",
          "PRIMARY KEY (kategoria));"},
         {}},
        {"BEALLIT",
         {"CREATE TABLE beallit (", " beallit AUTOINC,", " vanbelep CHAR(1),", " alapprioritas INT,",
          " alaphatarido INT,", "PRIMARY KEY (beallit));"},
         {"INSERT INTO beallit (vanbelep,alapprioritas,alaphatarido) VALUES ('I',1,1)"}},
        {"BEOSZTAS",
         {"CREATE TABLE beosztas (", " beosztas AUTOINC,", " beosztas_nev CHAR(25),",
          "PRIMARY KEY (beosztas));"},
         {}},
        {"FELADAT",
         {"CREATE TABLE feladat (", " feladat AUTOINC,", " dat_beerk DATE,", " dat_hatid DATE,",
          " ugyfel INT,", " cikkszam CHAR(15),", " allapot INT,", " prioritas INT,", " rovid CHAR(75),",
          " leiras BLOB(0,1),", "PRIMARY KEY (feladat));"},
         {}},
        {"PRIORITAS",
         {"CREATE TABLE prioritas (", " prioritas INT,", " prioritas_nev CHAR(25),", " hatid INT,",
          "PRIMARY KEY (prioritas));"},
         {}},
        {"ALLAPOT",
         {"CREATE TABLE allapot (", " allapot INT,", " allapot_nev CHAR(25),", " keszenvan CHAR(1),",
          "PRIMARY KEY (allapot));"},
         {}},
    };
    return tables;
}

struct NewField {
    const char* upperName;
    const char* alter;
    const char* update;  // fills the new field of the existing rows; null when they stay empty
};

struct FieldCheck {
    const char* table;
    std::vector<NewField> fields;
};

// Fields that older tables lack.
const std::vector<FieldCheck>& fieldChecks()
{
    static const std::vector<FieldCheck> checks = {
        {"megj", {{"TIPUS", "ALTER TABLE megj ADD tipus INT;", "UPDATE megj SET tipus=0;"}}},
        {"ceg",
         {{"KULCSSZAVAK", "ALTER TABLE ceg ADD kulcsszavak CHAR(255);", nullptr},
          {"KAPCSOLAT", "ALTER TABLE ceg ADD kapcsolat CHAR(25);", nullptr},
          {"DAT_FIGY", "ALTER TABLE ceg ADD dat_figy DATE;", nullptr},
          {"FIGY_SZOVEG", "ALTER TABLE ceg ADD figy_szoveg CHAR(255);", nullptr}}},
        {"feladat", {{"CEG", "ALTER TABLE feladat ADD ceg INT;", nullptr}}},
        {"ugyf_megj", {{"TIPUS", "ALTER TABLE ugyf_megj ADD tipus INT;", "UPDATE ugyf_megj SET tipus=0;"}}},
        {"ugyfel",
         {{"KULCSSZAVAK", "ALTER TABLE ugyfel ADD kulcsszavak CHAR(255);", nullptr},
          {"BEOSZTAS", "ALTER TABLE ugyfel ADD beosztas INT;", "UPDATE ugyfel SET beosztas=0;"},
          {"PREFIX", "ALTER TABLE ugyfel ADD prefix CHAR(10);", nullptr},
          {"FFINO", "ALTER TABLE ugyfel ADD ffino INT;", "UPDATE ugyfel SET ffino=0;"},
          {"DAT_FIGY", "ALTER TABLE ugyfel ADD dat_figy DATE;", nullptr},
          {"FIGY_SZOVEG", "ALTER TABLE ugyfel ADD figy_szoveg CHAR(255);", nullptr},
          {"VNEV", "ALTER TABLE ugyfel ADD vnev CHAR(50);", nullptr},
          {"KNEV", "ALTER TABLE ugyfel ADD knev CHAR(25);", nullptr},
          {"HONAP", "ALTER TABLE ugyfel ADD honap INT;", nullptr},
          {"NAP", "ALTER TABLE ugyfel ADD nap INT;", nullptr},
          {"TIPUS", "ALTER TABLE ugyfel ADD tipus INT;", nullptr},
          {"CEG", "ALTER TABLE ugyfel ADD ceg INT;", nullptr},
          {"UZLETKOTO", "ALTER TABLE ugyfel ADD uzletkoto INT;", nullptr}}},
    };
    return checks;
}

QStringList upper(const QStringList& names)
{
    QStringList result;
    for (const QString& n : names)
        result << n.toUpper();
    return result;
}

const QStringList kInstructions = {
    "Lépések, ha új verziót kíván telepíteni:",
    "",
    "1. Ellenőrizze, hogy egyetlen számítógépen se fusson a Nyilvex program.",
    "2. Nyomja meg a verzióváltás gombot a frissítéshez.",
    "3. Nyomja meg a karbantartás gombot az adatbázis hibajavításához, optimalizálásához.",
    "",
    "Lépések, ha adatbázisa sérült, vagy csak lassabban fut a program:",
    "",
    "1. Ellenőrizze, hogy egyetlen számítógépen se működjön a Nyilvex program.",
    "2. Nyomja meg a karbantartás gombot az adatbázis hibajavításához, optimalizálásához.",
};

}  // namespace

Tfrm_Upd_Main::Tfrm_Upd_Main(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Upd_Main");
    setWindowTitle("Nyilvex program adatbázis karbantartás V4.1.0.180");
    setFont(QFont("Tahoma", 8));
    // Centred on the desktop, and the tool never writes the settings file.
    KeepOwnPlacement(this);

    auto* icon = new QLabel(this);
    icon->setObjectName("Image1");
    const QIcon programIcon = QApplication::windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_DriveHDIcon)
                                  : QApplication::windowIcon();
    icon->setPixmap(programIcon.pixmap(32, 32));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* label1 = new QLabel("Adatbázis elérési útvonala", this);
    label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    QFont bold = Edit1->font();
    bold.setBold(true);
    Edit1->setFont(bold);
    label1->setBuddy(Edit1);

    auto makeButton = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        return b;
    };
    Button1 = makeButton("Button1", "Karbantartás");
    Button3 = makeButton("Button3", "Verzióváltás");
    Button2 = makeButton("Button2", "Bezárás");

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier("Courier New", 9);
    courier.setStyleHint(QFont::TypeWriter);
    Memo1->setFont(courier);
    Memo1->setPlainText(kInstructions.join('\n'));
    // Wide and tall enough for every line without scrolling, whatever face
    // stands in for Courier New.
    const QFontMetrics fm(courier);
    int longest = 0;
    for (const QString& line : kInstructions)
        longest = qMax(longest, fm.horizontalAdvance(line));
    const int margins = 2 * (Memo1->frameWidth() + int(Memo1->document()->documentMargin()));
    Memo1->setFixedSize(longest + margins + 2 * fm.averageCharWidth(),
                        (int(kInstructions.size()) + 1) * fm.lineSpacing() + margins);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setMinimumHeight(Label2->fontMetrics().height());
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setMinimum(1);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->reset();

    auto* folder = new QVBoxLayout;
    folder->setSpacing(3);
    folder->addWidget(label1);
    folder->addWidget(Edit1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(6);
    top->addLayout(folder, 1);
    top->addSpacing(6);
    for (QPushButton* b : {Button1, Button3, Button2})
        top->addWidget(b, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addSpacing(4);
    layout->addWidget(Memo1, 1);
    layout->addWidget(Label2);
    layout->addWidget(ProgressBar1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &Tfrm_Upd_Main::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Tfrm_Upd_Main::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::close);

    Tbl = new TableDataSet(&Database1, this);
    Tbl->setObjectName("Tbl");
    Qry = new QueryDataSet(&Database1, this);
    Qry->setObjectName("Qry");

    IniFile settings(SettingsFile());
    settings.load();
    Edit1->setText(settings.readString("Adatbazis", "Utvonal", ProgramFolder() + "/Data"));

    adjustSize();
    CentreOnScreen(this);
}

Tfrm_Upd_Main::~Tfrm_Upd_Main()
{
    Database1.close();
}

bool Tfrm_Upd_Main::DeleteIndexFile(const QString& path)
{
    // The store deletes the file, so that a table someone holds open is
    // refused rather than losing its index underneath them.
    const engine::Status s = Database1.database().deleteTableFile(QFileInfo(path).fileName().toStdString());
    if (s.isOk())
        return true;
    ShowError("A következő file nem törölhető, valószínüleg használatban van:\n" + path, this);
    return false;
}

bool Tfrm_Upd_Main::connectDatabase()
{
    const QString typed = Edit1->text();
    if (!QFileInfo(typed).isDir()) {
        ShowError("Nem létező adatbázis mappa.", this);
        return false;
    }
    workFolder_ = typed;
    if (workFolder_.endsWith('/'))
        workFolder_.chop(1);
    Database1.close();
    Database1.setParams({"PATH=" + typed, "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"});
    Database1.open();
    return true;
}

void Tfrm_Upd_Main::setStatus(const QString& text)
{
    Label2->setText(text);
    Label2->repaint();
}

void Tfrm_Upd_Main::stepIt()
{
    ProgressBar1->setValue(qMin(qMax(ProgressBar1->value() + 1, ProgressBar1->minimum()), ProgressBar1->maximum()));
    ProgressBar1->repaint();
}

void Tfrm_Upd_Main::Button1Click()
{
    if (!connectDatabase())
        return;
    Tbl->close();
    Tbl->setExclusive(true);
    ProgressBar1->setMaximum(int(indexPlans().size()) + 1);
    stepIt();

    bool first = true;
    for (const IndexPlan& plan : indexPlans()) {
        if (!first)
            stepIt();
        first = false;
        const QString file = QString::fromLatin1(plan.table) + ".DB";
        Tbl->setTableName(file);
        setStatus("Index készítés: " + file);

        bool deleted = true;
        for (const QString& indexFile : indexFiles(plan)) {
            if (!DeleteIndexFile(workFolder_ + "/" + indexFile)) {
                deleted = false;
                break;
            }
        }
        if (!deleted)
            continue;
        try {
            Tbl->clearIndexes();
            Tbl->addPrimaryIndex(QString::fromLatin1(plan.primary));
            for (const SecondaryIndex& index : plan.secondaries)
                Tbl->addIndex(QString::fromLatin1(index.name), QString::fromLatin1(index.field),
                              index.caseInsensitive, index.descending);
        } catch (const DbError& e) {
            ShowError("Ismeretlen hiba: " + file + "\n" + e.message(), this);
        }
        Tbl->close();
    }
    stepIt();  // the last table is done: the bar stands at its end

    ShowInfo("Indexek újraépítése kész.", this);
    Database1.close();
    setStatus(QString());
    ProgressBar1->reset();
}

void Tfrm_Upd_Main::execIgnoringErrors(const QStringList& sql)
{
    // A statement that fails here leaves what it would have made missing; the
    // next run tries it again, so there is nothing to tell the user now.
    Qry->close();
    Qry->setSql(sql);
    try {
        Qry->execSql();
    } catch (const DbError&) {
    }
}

void Tfrm_Upd_Main::Button3Click()
{
    if (!connectDatabase())
        return;
    ProgressBar1->setMaximum(31);
    setStatus("Táblák létrehozása");

    const QStringList tables = upper(Database1.tableNames());
    stepIt();
    const auto& newOnes = newTables();
    for (std::size_t i = 0; i < newOnes.size(); ++i) {
        const NewTable& t = newOnes[i];
        if (!tables.contains(QString::fromLatin1(t.upperName))) {
            execIgnoringErrors(t.create);
            if (!t.insert.isEmpty())
                execIgnoringErrors(t.insert);
        }
        if (i + 1 < newOnes.size())
            stepIt();
    }

    setStatus("Mezők ellenőrzése, létrehozása");
    for (const FieldCheck& check : fieldChecks()) {
        // A missing table of this list is not ours to create: its error
        // reaches the general error display and ends the upgrade here.
        const QStringList present = upper(Database1.fieldNames(QString::fromLatin1(check.table) + ".DB"));
        stepIt();
        bool first = true;
        for (const NewField& f : check.fields) {
            if (!first)
                stepIt();
            first = false;
            if (present.contains(QString::fromLatin1(f.upperName)))
                continue;
            execIgnoringErrors({QString::fromLatin1(f.alter)});
            if (f.update)
                execIgnoringErrors({QString::fromLatin1(f.update)});
        }
    }

    Database1.close();
    ShowInfo("Verzióváltás kész", this);
    ProgressBar1->reset();
    setStatus(QString());
}
