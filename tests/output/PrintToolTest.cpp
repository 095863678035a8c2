// nyilvex-print run as a scheduled job runs it: lists as PDF, the start
// rows and order, a filter, the notes of an owner, and its errors.
#include <QFile>
#include <QProcess>

#include "ReportFixture.h"

namespace {

class PrintToolTest : public ReportTest {
protected:
    struct Run {
        int status;
        QString err;
    };
    Run print(const QStringList& args)
    {
        QProcess p;
        p.start(NYILVEX_PRINT, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }
    QString out() const { return dir.filePath("ki.pdf"); }
};

TEST_F(PrintToolTest, WritesTheListsAsTheMainWindowShowsThemAtStart)
{
    setOwner();
    add("ugyfel", {{"ugyfel_nev", "Zoltán"}, {"cim_varos", "Győr"}});
    add("ugyfel", {{"ugyfel_nev", "Béla"}, {"cim_varos", "Eger"}});
    add("feladat", {{"rovid", "Nyitott munka"}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "Kész munka"}, {"lezarva", "I"}});

    Run r = print({folder(), "qrUgyfel", "-o", out()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QString text = PdfFileText(out());
    EXPECT_TRUE(text.contains("Ügyfelek listája"));
    EXPECT_TRUE(text.contains("ügyfél szerint"));
    EXPECT_FALSE(text.contains("Szűrt adatok"));
    EXPECT_LT(text.indexOf("Béla"), text.indexOf("Zoltán"));
    EXPECT_TRUE(text.contains("Mintabolt Kft."));

    r = print({folder(), "qrUgyfel", "-o", out(), "--filter", "cim_varos='Győr'"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    text = PdfFileText(out());
    EXPECT_TRUE(text.contains("Szűrt adatok"));
    EXPECT_TRUE(text.contains("Zoltán"));
    EXPECT_FALSE(text.contains("Béla"));

    // The day's tasks: unfinished only, as the list starts.
    r = print({folder(), "qrFeladat", "-o", out()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    text = PdfFileText(out());
    EXPECT_TRUE(text.contains("Nyitott munka"));
    EXPECT_FALSE(text.contains("Kész munka"));
    EXPECT_TRUE(text.contains("Szűrt adatok"));
    EXPECT_TRUE(text.contains("qrFeladat"));
}

TEST_F(PrintToolTest, NotesOfAnOwner)
{
    const int customer = add("ugyfel", {{"ugyfel_nev", "Jegyzetelt Jenő"}});
    add("ugyf_megj", {{"ugyfel", customer}, {"tipus", 0}, {"datum", QDate(2026, 1, 2)}, {"rovid", "Hívás"},
                      {"megjegyzes", "Visszahívást kért."}});
    const Run r = print({folder(), "qrMegjegyzes", "--owner", QString::number(customer), "--kind", "0", "-o", out()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString text = PdfFileText(out());
    EXPECT_TRUE(text.contains("Jegyzetelt Jenő"));
    EXPECT_TRUE(text.contains("Visszahívást kért."));
}

TEST_F(PrintToolTest, BadFolderCodeFilterOrOwnerEndWithStatusOneAndAMessage)
{
    struct Case {
        QStringList args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{dir.filePath("nincs"), "qrUgyfel", "-o", out()}, "Az adatbázis nem nyitható meg"},
        {{folder(), "qrSemmi", "-o", out()}, "Ismeretlen jelentéskód: qrSemmi"},
        {{folder(), "qrUgyfel", "-o", out(), "--filter", "nincsilyen='x'"}, "Hibás szűrőfeltétel"},
        {{folder(), "qrMegjegyzes", "-o", out()}, "meg kell adni a tulajdonost"},
        {{folder(), "qrUgyfel"}, "Használat: nyilvex-print"},
        {{folder(), "qrUgyfel", "-o", dir.filePath("nincs/mappa/ki.pdf")}, "A fájl nem írható"},
    };
    for (const Case& c : cases) {
        const Run r = print(c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out()));
}

}  // namespace
