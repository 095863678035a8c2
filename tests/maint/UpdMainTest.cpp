// The maintenance tool's window driven as the user drives it, on real table
// files in temporary folders: the index rebuild and the version upgrade.
#include "maint/Upd_Main.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "common/Layout.h"
#include "common/Settings.h"
#include "engine/Codepage.h"
#include "engine/Database.h"
#include "engine/Sql.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"

namespace {

const QString kLocked = "A következő file nem törölhető, valószínüleg használatban van:\n";

QString text(const engine::Value& v)
{
    using K = engine::Value::Kind;
    switch (v.kind()) {
    case K::Null: return "NULL";
    case K::Int: return QString::number(v.asInt());
    case K::Float: return QString::number(v.asFloat());
    case K::Bool: return v.asBool() ? "true" : "false";
    case K::Text: return QString::fromStdString(engine::cp1250ToUtf8(v.asText()));
    case K::Date: {
        int y, m, d;
        v.asDate().toYmd(y, m, d);
        return QDate(y, m, d).toString("yyyy-MM-dd");
    }
    default: return "?";
    }
}

// A database folder of its own, reached through the engine directly.
class Folder {
public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return path() + "/" + name; }

    engine::Database& db()
    {
        if (!db_) {
            auto r = engine::Database::open(QFile::encodeName(path()).toStdString());
            if (!r.isOk())
                throw std::runtime_error(r.status().message());
            db_ = *r;
        }
        return *db_;
    }
    // Lets go of every table, as the user closes the main program.
    void release() { db_.reset(); }

    void createLayout()
    {
        const engine::Status s = layout::createAll(db());
        ASSERT_TRUE(s.isOk()) << s.message();
    }

    void sql(const QString& statement)
    {
        auto cp = engine::utf8ToCp1250(statement.toStdString());
        ASSERT_TRUE(cp.isOk());
        auto r = engine::runSql(db(), *cp);
        ASSERT_TRUE(r.isOk()) << r.status().message() << "\n" << statement.toStdString();
    }

    // The rows of a SELECT, each as its values' text ("NULL" for blank).
    std::vector<QStringList> select(const QString& statement)
    {
        std::vector<QStringList> rows;
        auto r = engine::runSql(db(), *engine::utf8ToCp1250(statement.toStdString()));
        if (!r.isOk()) {
            ADD_FAILURE() << r.status().message() << "\n" << statement.toStdString();
            return rows;
        }
        const engine::QueryResult& q = *r->rows;
        for (size_t row = 0; row < q.rowCount(); ++row) {
            QStringList values;
            for (size_t col = 0; col < q.columns().size(); ++col)
                values << text(*q.value(row, col));
            rows.push_back(values);
        }
        return rows;
    }

    // One field of a table read in the order of one of its indexes.
    QStringList inOrder(const std::string& table, const engine::OrderSpec& order, const std::string& field)
    {
        QStringList values;
        auto t = db().openTable(table, engine::OpenMode::ReadOnly);
        if (!t.isOk()) {
            ADD_FAILURE() << t.status().message();
            return values;
        }
        auto rows = (*t)->rows(order);
        if (!rows.isOk()) {
            ADD_FAILURE() << rows.status().message();
            return values;
        }
        const int f = (*t)->def().fieldIndex(field);
        for (engine::RowId id : *rows)
            values << text(*(*t)->readField(id, f));
        return values;
    }

    QStringList fieldNames(const std::string& table)
    {
        QStringList names;
        auto t = db().openTable(table, engine::OpenMode::ReadOnly);
        if (!t.isOk()) {
            ADD_FAILURE() << t.status().message();
            return names;
        }
        for (const engine::FieldDef& f : (*t)->def().fields)
            names << QString::fromStdString(engine::cp1250ToUtf8(f.name)).toUpper();
        return names;
    }

    // Every file of the folder with its bytes.
    std::map<QString, QByteArray> snapshot() const
    {
        std::map<QString, QByteArray> files;
        for (QDirIterator it(path(), QDir::Files | QDir::Hidden); it.hasNext();) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            files[it.fileName()] = f.readAll();
        }
        return files;
    }

    void spoil(const QString& name)
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(2048, '\x5a'));
    }

private:
    QTemporaryDir dir_;
    std::shared_ptr<engine::Database> db_;
};

// The scripted user, who also notes what the window showed while each
// message box was up.
class User : public ScriptedInteraction {
public:
    struct Seen {
        QString status;
        int progress;
    };
    Tfrm_Upd_Main* window = nullptr;
    std::vector<Seen> seen;

    void message(QWidget* owner, MessageKind kind, const QString& title, const QString& text) override
    {
        if (window)
            seen.push_back({window->Label2->text(), window->ProgressBar1->value()});
        ScriptedInteraction::message(owner, kind, title, text);
    }
};

// A press and release of the mouse, delivered through the application as a
// real click is, so that an error nobody catches reaches the application's
// general error display.
void clickThroughApplication(QPushButton* button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
}

const char* const kIndexedTables[] = {"termek", "kategoria", "ugyf_ertesit", "beallit",  "prioritas",
                                      "feladat", "allapot",  "beosztas",     "ceg",      "cimke",
                                      "felhasznalo", "irsz", "korlevel",     "megj",     "nevnap",
                                      "tipus",   "tulajdonos", "ugyf_megj",  "ugyfel",   "uzletkoto"};

void fillRows(Folder& f)
{
    for (const char* name : {"Zöld Kft", "Béta Bt", "Alfa Zrt", "Cékla Kft", "bárka Kft"})
        f.sql(QString("INSERT INTO ceg (ceg_nev, cim_varos) VALUES ('%1', 'Szeged')").arg(name));
    f.sql("INSERT INTO ugyf_megj (ugyfel, datum, rovid, tipus) VALUES (1, '2023-05-01', 'régi', 0)");
    f.sql("INSERT INTO ugyf_megj (ugyfel, datum, rovid, tipus) VALUES (1, '2024-02-10', 'új', 0)");
    f.sql("INSERT INTO ugyf_megj (ugyfel, datum, rovid, tipus) VALUES (1, '2023-11-20', 'közép', 0)");
    f.sql("INSERT INTO nevnap (Honap, Nap, Nev) VALUES (12, 24, 'Ádám')");
    f.sql("INSERT INTO nevnap (Honap, Nap, Nev) VALUES (1, 1, 'Fruzsina')");
    f.sql("INSERT INTO nevnap (Honap, Nap, Nev) VALUES (1, 1, 'Aladár')");
    for (const char* item : {"C-3", "a-1", "B-2"})
        f.sql(QString("INSERT INTO termek (cikkszam, cikkszam_nev) VALUES ('%1', 'termék %1')").arg(item));
    f.sql("INSERT INTO ugyfel (Ugyfel_nev) VALUES ('Kovács Éva')");
    f.sql("INSERT INTO ugyfel (Ugyfel_nev) VALUES ('Ábrahám Péter')");
    f.sql("INSERT INTO uzletkoto (uzletkoto_nev) VALUES ('Nagy Ottó')");
    f.sql("INSERT INTO uzletkoto (uzletkoto_nev) VALUES ('Balogh Réka')");
}

class MaintenanceTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        user.window = &window;
    }

    TempHome home;
    User user;
    Tfrm_Upd_Main window;
};

}  // namespace

TEST_F(MaintenanceTool, WindowReadsTheDatabaseFolderAndNeverWritesTheSettings)
{
    EXPECT_EQ(window.windowTitle(), "Nyilvex program adatbázis karbantartás V4.1.0.180");
    EXPECT_EQ(window.Edit1->text(), ProgramFolder() + "/Data");
    EXPECT_TRUE(window.Edit1->font().bold());
    EXPECT_EQ(window.Memo1->toPlainText().split('\n').size(), 10);
    EXPECT_EQ(window.Memo1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.ProgressBar1->minimum(), 1);

    Folder f;
    f.createLayout();
    f.release();
    QFile ini(home.settingsFile());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    const QByteArray settings = "[Adatbazis]\nUtvonal=" + f.path().toUtf8() + "\n[Alapertek]\nTeljesKep=0\n";
    ini.write(settings);
    ini.close();

    {
        Tfrm_Upd_Main second;
        EXPECT_EQ(second.Edit1->text(), f.path());
        second.Button1->click();
        second.Button3->click();
        second.Button2->click();
    }
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), settings);
    EXPECT_EQ(user.messages(), (QStringList{"Indexek újraépítése kész.", "Verzióváltás kész"}));
}

TEST_F(MaintenanceTool, MissingFolderStopsBothOperations)
{
    window.Edit1->setText("/nincs/ilyen/mappa");
    window.Button1->click();
    window.Button3->click();
    EXPECT_EQ(user.errors(), (QStringList{"Nem létező adatbázis mappa.", "Nem létező adatbázis mappa."}));
    EXPECT_EQ(user.messages().size(), 2);
}

TEST_F(MaintenanceTool, RebuildRecreatesEveryIndexFileAndTheOrdersTheyGive)
{
    Folder f;
    f.createLayout();
    fillRows(f);
    f.release();
    f.spoil("ceg.XG0");       // a damaged secondary index
    f.spoil("ugyf_megj.PX");  // a damaged primary index
    QFile::remove(f.file("termek.XG1"));  // a missing secondary index counts as deleted
    QFile::remove(f.file("termek.YG1"));
    const auto before = f.snapshot();

    window.Edit1->setText(f.path());
    window.Button1->click();

    EXPECT_EQ(user.messages(), QStringList{"Indexek újraépítése kész."});
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0].status, "Index készítés: uzletkoto.DB");
    EXPECT_EQ(user.seen[0].progress, 21);  // at its end while the rebuild reports it is done
    EXPECT_EQ(window.ProgressBar1->maximum(), 21);
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_EQ(window.Label2->text(), "");

    for (const char* table : kIndexedTables) {
        EXPECT_TRUE(QFileInfo::exists(f.file(QString(table) + ".PX"))) << table;
        const engine::TableDef& def = layout::find(table)->def;
        for (size_t n = 0; n < def.indexes.size(); ++n)
            for (const char* ext : {".XG", ".YG"})
                EXPECT_TRUE(QFileInfo::exists(f.file(table + QString(ext) + QString::number(n)))) << table << n;
    }
    const auto after = f.snapshot();
    EXPECT_NE(after.at("ceg.XG0"), before.at("ceg.XG0"));
    EXPECT_NE(after.at("ugyf_megj.PX"), before.at("ugyf_megj.PX"));

    using engine::OrderSpec;
    EXPECT_EQ(f.inOrder("ceg", OrderSpec::index("idx_ceg_nev"), "ceg_nev"),
              (QStringList{"Alfa Zrt", "bárka Kft", "Béta Bt", "Cékla Kft", "Zöld Kft"}));
    EXPECT_EQ(f.inOrder("ceg", OrderSpec::primary(), "ceg_nev"),
              (QStringList{"Zöld Kft", "Béta Bt", "Alfa Zrt", "Cékla Kft", "bárka Kft"}));
    EXPECT_EQ(f.inOrder("ugyf_megj", OrderSpec::index("idx_datum_desc"), "rovid"),
              (QStringList{"új", "közép", "régi"}));
    EXPECT_EQ(f.inOrder("nevnap", OrderSpec::primary(), "Nev"), (QStringList{"Aladár", "Fruzsina", "Ádám"}));
    EXPECT_EQ(f.inOrder("nevnap", OrderSpec::index("nev"), "Nev"), (QStringList{"Ádám", "Aladár", "Fruzsina"}));
    EXPECT_EQ(f.inOrder("termek", OrderSpec::index("idx_cikkszam_nev"), "cikkszam"),
              (QStringList{"a-1", "B-2", "C-3"}));
    EXPECT_EQ(f.inOrder("ugyfel", OrderSpec::index("idx_ugyfel_nev"), "Ugyfel_nev"),
              (QStringList{"Ábrahám Péter", "Kovács Éva"}));
    EXPECT_EQ(f.select("SELECT COUNT(*) FROM ceg"), std::vector<QStringList>{{"5"}});
}

TEST_F(MaintenanceTool, TableHeldByAnotherProgramIsNamedAndTheRebuildGoesOn)
{
    Folder f;
    f.createLayout();
    fillRows(f);
    f.release();
    f.spoil("uzletkoto.XG0");
    const auto before = f.snapshot();

    QProcess holder;
    holder.start(HOLD_TABLE, {f.path(), "ugyfel"});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), "ready");

    // The separator typed at the end is not doubled in the file's path.
    window.Edit1->setText(f.path() + "/");
    window.Button1->click();
    holder.closeWriteChannel();
    holder.waitForFinished(10000);

    EXPECT_EQ(user.messages(), (QStringList{kLocked + f.path() + "/ugyfel.PX", "Indexek újraépítése kész."}));
    ASSERT_EQ(user.seen.size(), 2u);
    EXPECT_EQ(user.seen[0].status, "Index készítés: ugyfel.DB");
    EXPECT_EQ(user.seen[0].progress, 19);
    EXPECT_EQ(user.seen[1].progress, 21);

    const auto after = f.snapshot();
    EXPECT_EQ(after.at("ugyfel.PX"), before.at("ugyfel.PX"));
    EXPECT_EQ(after.at("ugyfel.XG0"), before.at("ugyfel.XG0"));
    EXPECT_NE(after.at("uzletkoto.XG0"), before.at("uzletkoto.XG0"));
    EXPECT_EQ(f.inOrder("uzletkoto", engine::OrderSpec::index("idx_uzletkoto_nev"), "uzletkoto_nev"),
              (QStringList{"Balogh Réka", "Nagy Ottó"}));
}

TEST_F(MaintenanceTool, TableMissingFromAnOlderDatabaseIsReportedAndTheRebuildGoesOn)
{
    Folder f;
    f.createLayout();
    f.release();
    for (const QString& name : QDir(f.path()).entryList({"kategoria.*"}, QDir::Files))
        QFile::remove(f.file(name));

    window.Edit1->setText(f.path());
    window.Button1->click();

    const QStringList shown = user.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Ismeretlen hiba: kategoria.DB\n")) << shown[0].toStdString();
    EXPECT_GT(shown[0].size(), QString("Ismeretlen hiba: kategoria.DB\n").size());
    EXPECT_EQ(shown[1], "Indexek újraépítése kész.");
    EXPECT_TRUE(QFileInfo::exists(f.file("ugyf_ertesit.PX")));
}

namespace {

// A database of an older version: the tables the upgrade does not create, in
// the layout they had before the fields of the upgrade's list.
void createOldDatabase(Folder& f, bool withMegj = true)
{
    f.sql("CREATE TABLE ugyfel (Ugyfel AUTOINC, Ugyfel_nev CHAR(100), Telefon_magan CHAR(20), "
          "Telefon_ceges CHAR(20), Mobil CHAR(20), Fax CHAR(20), Emil1 CHAR(100), Emil2 CHAR(100), "
          "Honlap CHAR(100), Cim_varos CHAR(50), Cim_irsz CHAR(5), Cim_cim CHAR(100), Kapcsolat CHAR(50), "
          "Datum DATE, Megjegyzes BLOB(0,1), PRIMARY KEY (Ugyfel))");
    f.sql("CREATE TABLE ceg (ceg AUTOINC, ceg_nev CHAR(100), cim_irsz CHAR(6), cim_varos CHAR(25), "
          "cim_cim CHAR(50), tel_irsz CHAR(6), tel_varos CHAR(25), tel_cim CHAR(50), telefon CHAR(25), "
          "honlap CHAR(100), PRIMARY KEY (ceg))");
    f.sql("CREATE TABLE feladat (\n feladat AUTOINC,\n dat_beerk DATE,\n dat_hatid DATE,\n ugyfel INT,\n"
          " cikkszam CHAR(15),\n allapot INT,\n prioritas INT,\n rovid CHAR(75),\n leiras BLOB(0,1),\n"
          "PRIMARY KEY (feladat));");
    if (withMegj)
        f.sql("CREATE TABLE megj (Ugyfel INT, doknev CHAR(255), doknev_rovid CHAR(50), datum DATE, "
              "PRIMARY KEY (Ugyfel, doknev))");
    f.sql("CREATE TABLE ugyf_megj (ugyf_megj AUTOINC, ugyfel INT, datum DATE, rovid CHAR(50), "
          "megjegyzes BLOB(0,1), PRIMARY KEY (ugyf_megj))");
    f.sql("CREATE TABLE tipus (tipus AUTOINC, tipus_nev CHAR(25), PRIMARY KEY (tipus))");

    f.sql("INSERT INTO ugyfel (Ugyfel_nev, Telefon_magan, Cim_varos, Datum, Megjegyzes) "
          "VALUES ('Kovács Éva', '06-1-234-5678', 'Győr', '2009-04-01', 'első sor')");
    f.sql("INSERT INTO ugyfel (Ugyfel_nev, Mobil) VALUES ('Tóth Ödön', '06-30-111-2222')");
    f.sql("INSERT INTO ceg (ceg_nev, telefon) VALUES ('Árvíztűrő Kft', '06-1-999')");
    f.sql("INSERT INTO feladat (dat_beerk, ugyfel, cikkszam, allapot, rovid) "
          "VALUES ('2010-01-02', 1, 'X-1', 1, 'régi feladat')");
    if (withMegj)
        f.sql("INSERT INTO megj (Ugyfel, doknev, doknev_rovid) VALUES (1, '/dok/szerzodes.odt', 'szerződés')");
    f.sql("INSERT INTO ugyf_megj (ugyfel, datum, rovid) VALUES (2, '2011-03-04', 'hívta')");
    f.release();
}

}  // namespace

TEST_F(MaintenanceTool, UpgradeBringsAnOldDatabaseForward)
{
    Folder f;
    createOldDatabase(f);

    window.Edit1->setText(f.path());
    window.Button3->click();

    EXPECT_EQ(user.messages(), QStringList{"Verzióváltás kész"});
    EXPECT_EQ(window.ProgressBar1->maximum(), 31);
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_EQ(window.Label2->text(), "");

    QStringList tables;
    const auto names = f.db().tableNames();
    ASSERT_TRUE(names.isOk());
    for (const std::string& t : *names)
        tables << QString::fromStdString(t).toLower();
    for (const char* t : {"ugyf_ertesit", "korlevel", "termek", "kategoria", "beallit", "beosztas", "feladat",
                          "prioritas", "allapot"})
        EXPECT_TRUE(tables.contains(t)) << t;
    EXPECT_EQ(f.select("SELECT vanbelep, alapprioritas, alaphatarido FROM beallit"),
              (std::vector<QStringList>{{"I", "1", "1"}}));
    EXPECT_EQ(f.fieldNames("prioritas"), (QStringList{"PRIORITAS", "PRIORITAS_NEV", "HATID"}));

    EXPECT_EQ(f.fieldNames("ugyfel").mid(15),
              (QStringList{"KULCSSZAVAK", "BEOSZTAS", "PREFIX", "FFINO", "DAT_FIGY", "FIGY_SZOVEG", "VNEV", "KNEV",
                           "HONAP", "NAP", "TIPUS", "CEG", "UZLETKOTO"}));
    EXPECT_EQ(f.select("SELECT Ugyfel, Ugyfel_nev, Telefon_magan, Mobil, Cim_varos, Datum, Megjegyzes, beosztas, "
                       "ffino, vnev, tipus, kulcsszavak FROM ugyfel ORDER BY 1"),
              (std::vector<QStringList>{
                  {"1", "Kovács Éva", "06-1-234-5678", "NULL", "Győr", "2009-04-01", "első sor", "0", "0", "NULL",
                   "NULL", "NULL"},
                  {"2", "Tóth Ödön", "NULL", "06-30-111-2222", "NULL", "NULL", "NULL", "0", "0", "NULL", "NULL",
                   "NULL"}}));
    EXPECT_EQ(f.fieldNames("ceg").mid(10), (QStringList{"KULCSSZAVAK", "KAPCSOLAT", "DAT_FIGY", "FIGY_SZOVEG"}));
    EXPECT_EQ(f.select("SELECT ceg_nev, telefon, kapcsolat FROM ceg"),
              (std::vector<QStringList>{{"Árvíztűrő Kft", "06-1-999", "NULL"}}));
    EXPECT_EQ(f.select("SELECT cikkszam, rovid, ceg FROM feladat"),
              (std::vector<QStringList>{{"X-1", "régi feladat", "NULL"}}));
    EXPECT_EQ(f.select("SELECT doknev_rovid, tipus FROM megj"), (std::vector<QStringList>{{"szerződés", "0"}}));
    EXPECT_EQ(f.select("SELECT rovid, tipus FROM ugyf_megj"), (std::vector<QStringList>{{"hívta", "0"}}));
    f.release();

    // A second run finds everything in place and changes nothing.
    const auto before = f.snapshot();
    window.Button3->click();
    EXPECT_EQ(user.messages(), (QStringList{"Verzióváltás kész", "Verzióváltás kész"}));
    EXPECT_TRUE(f.snapshot() == before);
}

TEST_F(MaintenanceTool, UpgradeOfACurrentDatabaseChangesNothing)
{
    Folder f;
    f.createLayout();
    // A table whose file is named in another letter case is the same table.
    for (const QString& name : QDir(f.path()).entryList({"ugyf_ertesit.*"}, QDir::Files))
        QFile::remove(f.file(name));
    ASSERT_TRUE(f.db().createTable("Ugyf_Ertesit", layout::find("ugyf_ertesit")->def).isOk());
    f.sql("INSERT INTO beallit (vanbelep, alapprioritas, alaphatarido) VALUES ('N', 2, 3)");
    f.sql("INSERT INTO Ugyf_Ertesit (ugyfel, rovid, tipus) VALUES (1, 'értesítés', 0)");
    f.release();
    const auto before = f.snapshot();

    window.Edit1->setText(f.path());
    window.Button3->click();

    EXPECT_EQ(user.messages(), QStringList{"Verzióváltás kész"});
    EXPECT_TRUE(f.snapshot() == before);
    EXPECT_EQ(QDir(f.path()).entryList({"ugyf_ertesit.db"}, QDir::Files), QStringList{"Ugyf_Ertesit.DB"});
    EXPECT_EQ(f.select("SELECT vanbelep, alapprioritas, alaphatarido FROM beallit"),
              (std::vector<QStringList>{{"N", "2", "3"}}));
}

TEST_F(MaintenanceTool, UpgradeStopsAtAMissingTableOfTheFieldList)
{
    Folder f;
    createOldDatabase(f, false);

    window.Edit1->setText(f.path());
    clickThroughApplication(window.Button3);

    // The error reached the application's general error display, and the
    // window shows where the upgrade stopped.
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_FALSE(user.errors()[0].isEmpty());
    EXPECT_EQ(user.messages().size(), 1);
    EXPECT_EQ(window.Label2->text(), "Mezők ellenőrzése, létrehozása");
    EXPECT_EQ(window.ProgressBar1->value(), 9);
    EXPECT_EQ(f.select("SELECT COUNT(*) FROM beallit"), std::vector<QStringList>{{"1"}});
    EXPECT_EQ(f.fieldNames("ceg").size(), 10);
}
