// Form letters: the template list and editor on a real korlevel table, and
// the merge of templates with the rows of real tables.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/output/Korlevel.h"
#include "app/output/KorlevelMerge.h"
#include "app/output/Korlevel_Szerkeszt.h"
#include "common/DataSet.h"
#include "common/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"
#include "widgets/Rtf.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

QString plainText(const QByteArray& rtf)
{
    QTextDocument doc;
    ReadRtf(rtf, doc);
    return doc.toPlainText();
}

std::optional<QString> none(const QString&) { return std::nullopt; }

TEST(FillPlaceholdersTest, ValuesPrintAsTypedAndAreNotSearchedAgain)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 "
                           "Kedves [NEV]! [nev] [Mobil] [[Nev]] [ismeretlen] [] [nev\\b ]\\par}";
    const auto values = [](const QString& name) -> std::optional<QString> {
        if (name.compare("nev", Qt::CaseInsensitive) == 0) return QString("Kovács {Ödön} \\ [Mobil]\nŰrhajó u. 1.");
        if (name == "Mobil") return QString("+36 30 123 4567");
        return std::nullopt;
    };
    const QString v = "Kovács {Ödön} \\ [Mobil]\nŰrhajó u. 1.";
    EXPECT_EQ(plainText(FillPlaceholders(rtf, values)),
              "Kedves " + v + "! " + v + " +36 30 123 4567 [" + v + "] [ismeretlen] [] [nev]");
    EXPECT_EQ(FillPlaceholders(rtf, none), rtf);
}

class FormLettersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        Beall.referenceRight = true;
    }
    void TearDown() override { Beall.referenceRight = false; }

    void addCustomer(const QString& vnev, const QString& knev, const QVariant& note)
    {
        TableDataSet t(&conn);
        t.setTableName("ugyfel.DB");
        t.open();
        t.append();
        t.fieldByName("Ugyfel_nev")->setValue(vnev + " " + knev);
        t.fieldByName("vnev")->setValue(vnev);
        t.fieldByName("knev")->setValue(knev);
        t.fieldByName("Megjegyzes")->setValue(note);
        t.post();
    }

    // "tipus:rovid:text" of every template.
    QStringList templates()
    {
        TableDataSet t(&conn);
        t.setTableName("korlevel.DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << QString("%1:%2:%3").arg(t.fieldByName("tipus")->asInteger())
                       .arg(t.fieldByName("rovid")->asString())
                       .arg(plainText(TemplateBytes(t.fieldByName("szoveg")->asString())));
        return out;
    }

    void withList(int tab, DataSet* source, const std::function<void(QDialog&)>& script)
    {
        user.onModal("frm_Korlevel", [&](QDialog& d) {
            script(d);
            d.reject();
        });
        OpenFormLetters(nullptr, tab, source);
    }

    TempHome home;
    Connection conn{DatabaseAlias};
    ScriptedInteraction user;
};

TEST_F(FormLettersTest, ATemplateIsWrittenWithFieldsFromTheList)
{
    TableDataSet customers(&conn);
    customers.setTableName("ugyfel.DB");
    customers.open();
    user.onModal("frm_Korlevel_Szerkeszt", [](QDialog& d) {
        auto* edit = d.findChild<QTextEdit*>("RichEdit1");
        auto* fields = d.findChild<QListWidget*>("ListBox1");
        ASSERT_GT(fields->count(), 20);
        EXPECT_EQ(fields->item(1)->text(), "Ugyfel_nev");
        d.findChild<QLineEdit*>("DBEdit1")->insert("Ajánlat");
        edit->insertPlainText("Tisztelt ");
        fields->setCurrentRow(1);
        emit fields->itemDoubleClicked(fields->item(1));
        edit->insertPlainText("! Őszintén: ű");
        d.findChild<QAction*>("aElfogad")->trigger();
    });
    withList(1, &customers, [](QDialog& d) { d.findChild<QAction*>("aUj")->trigger(); });
    EXPECT_EQ(templates(), QStringList{"1:Ajánlat:Tisztelt [Ugyfel_nev]! Őszintén: ű"});

    // Cancelled edits and a cancelled new template leave the table as it was.
    user.onModal("frm_Korlevel_Szerkeszt", [](QDialog& d) {
        d.findChild<QTextEdit*>("RichEdit1")->insertPlainText("elvetve ");
        d.reject();
    });
    user.onModal("frm_Korlevel_Szerkeszt", [](QDialog& d) {
        d.findChild<QLineEdit*>("DBEdit1")->insert("Másik");
        d.reject();
    });
    withList(1, &customers, [](QDialog& d) {
        d.findChild<QAction*>("aSzerkeszt")->trigger();
        d.findChild<QAction*>("aUj")->trigger();
    });
    EXPECT_EQ(templates(), QStringList{"1:Ajánlat:Tisztelt [Ugyfel_nev]! Őszintén: ű"});

    // Another tab's list does not show it; no right, no change.
    withList(2, nullptr, [](QDialog& d) {
        EXPECT_TRUE(static_cast<Tfrm_Korlevel&>(d).Tbl->isEmpty());
    });
    Beall.referenceRight = false;
    withList(1, &customers, [](QDialog& d) {
        for (const char* a : {"aUj", "aSzerkeszt", "aTorol"}) d.findChild<QAction*>(a)->trigger();
    });
    EXPECT_EQ(user.errors(), QStringList(3, "Nincs jogosultság a művelethez."));
}

TEST_F(FormLettersTest, TheSearchBoxFindsByTheStartOfTheTitle)
{
    TableDataSet t(&conn);
    t.setTableName("korlevel.DB");
    t.open();
    for (const char* title : {"Ajánlat", "Értesítés", "Meghívó", "Ünnepi üdvözlet"}) {
        t.append();
        t.fieldByName("rovid")->setValue(QString(title));
        t.fieldByName("tipus")->setValue(0);
        t.post();
    }
    withList(0, nullptr, [](QDialog& d) {
        auto& w = static_cast<Tfrm_Korlevel&>(d);
        w.Edit1->insert("ünn");
        EXPECT_EQ(w.Tbl->fieldByName("rovid")->asString(), "Ünnepi üdvözlet");
        w.Edit1->selectAll();
        w.Edit1->insert("MEG");
        EXPECT_EQ(w.Tbl->fieldByName("rovid")->asString(), "Meghívó");
    });
}

TEST_F(FormLettersTest, RowsMergeWithTheirOwnValues)
{
    addCustomer("Kovács", "Ödön", QString("első sor\r\nmásodik {sor} \\ [knev]"));
    addCustomer("Szabó", "Éva", QVariant());
    QueryDataSet q(&conn);
    q.setSql({"SELECT * FROM ugyfel ORDER BY ugyfel"});
    q.open();
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Arial;}}"
                           "\\f0 [VNEV] [knev]: [Megjegyzes].\\par}";
    EXPECT_EQ(plainText(MergeRow(rtf, q, 0)), "Kovács Ödön: első sor\nmásodik {sor} \\ [knev].");
    EXPECT_EQ(plainText(MergeRow(rtf, q, 1)), "Szabó Éva: .");

    // A display format is applied: task numbers of five digits.
    TableDataSet tasks(&conn);
    tasks.setTableName("feladat.DB");
    tasks.open();
    tasks.append();
    tasks.fieldByName("rovid")->setValue(QString("javítás"));
    tasks.post();
    QueryDataSet f(&conn);
    f.setSql({"SELECT * FROM feladat"});
    f.setDisplayFormat("feladat", "00000");
    f.open();
    EXPECT_EQ(plainText(MergeRow("{\\rtf1 No. [Feladat] [rovid]}", f, 0)), "No. 00001 javítás");
}

TEST_F(FormLettersTest, TheWorkFolderIsOneTheProgramMayWrite)
{
    InitFolders(home.path() + "/program");
    QDir().mkpath(home.path() + "/program/Temp");
    EXPECT_EQ(FormLetterWorkFolder(), home.path() + "/program/Temp");
    // "Temp" a file in the way: no folder can be made there, whoever runs it.
    InitFolders(home.path() + "/readonly");
    QDir().mkpath(home.path() + "/readonly");
    QFile blocker(home.path() + "/readonly/Temp");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(FormLetterWorkFolder(), SettingsFolder() + "/Temp");
}

}  // namespace
