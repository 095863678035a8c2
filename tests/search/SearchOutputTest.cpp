// What the keyword search and the task browser print and export: the page or
// list as it stands, under the titles and subtitles the user reads.
#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>

#include "SearchFixture.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/search/FeladatBongeszo.h"
#include "app/search/KulcsszoKeres.h"
#include "common/PrintDocument.h"
#include "tests/support/PdfText.h"

namespace {

class SearchOutputTest : public SearchTest {
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        user.onPages = [this](PrintDocument& doc) { printed << PdfPages(doc).join("\f"); };
    }

    // The next delimited export is written to `file`; returns the suggested name.
    void exportDelimitedTo(const QString& file, QString* suggested)
    {
        user.onModal("frm_Hatarolt", [file, suggested](QDialog& d) {
            auto& x = static_cast<Tfrm_Hatarolt&>(d);
            *suggested = x.Edit1->text();
            x.Edit1->setText(file);
            x.Button1->click();
            x.Button2->click();
        });
    }

    void exportHtmlTo(const QString& file, QString* suggested)
    {
        user.onModal("frm_Grid2Html", [file, suggested](QDialog& d) {
            auto& x = static_cast<Tfrm_Grid2Html&>(d);
            *suggested = x.Edit1->text();
            x.Edit1->setText(file);
            x.Button1->click();
        });
    }

    static QByteArray contents(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList printed;
};

}  // namespace

TEST_F(SearchOutputTest, KeywordPagesPrintAndExportUnderTheirOwnTitles)
{
    add("ceg", {{"ceg_nev", "Webshop Kft."}, {"kulcsszavak", "webaruhaz"}});
    add("ceg", {{"ceg_nev", "Nyomda Bt."}, {"kulcsszavak", "nyomda"}});
    add("ugyfel", {{"Ugyfel_nev", "Odon Web"}, {"kulcsszavak", "web"}});
    add("termek", {{"cikkszam", "W-1"}, {"cikkszam_nev", "Webkamera"}, {"kulcsszavak", "WEB"}});
    add("termek", {{"cikkszam", "N-1"}, {"cikkszam_nev", "Papir"}, {"kulcsszavak", "nyomda"}});
    start();

    const QString csv = home.path() + "/kulcs.csv";
    const QString htm = home.path() + "/cegek.htm";
    QString csvName, htmName;
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        k.PageControl1->setCurrentIndex(3);
        k.aNyomtatKep->trigger();
        k.aNyomtat->trigger();
        k.PageControl1->setCurrentIndex(1);
        exportDelimitedTo(csv, &csvName);
        k.aExcelbe->trigger();
        k.PageControl1->setCurrentIndex(0);
        exportHtmlTo(htm, &htmName);
        k.aHtml->trigger();
        k.aMegsem->trigger();
    });
    answerText("web");
    w->aKulcsszoKeres->trigger();

    // The products page, previewed and printed: its own rows only.
    ASSERT_EQ(printed.size(), 2);
    EXPECT_EQ(user.ofKind("preview").size(), 1u);
    EXPECT_EQ(user.ofKind("print").size(), 1u);
    for (const QString& text : printed) {
        EXPECT_TRUE(text.contains("Termékek")) << text.toStdString();
        EXPECT_TRUE(text.contains("Kulcsszó: web")) << text.toStdString();
        EXPECT_TRUE(text.contains("Webkamera"));
        EXPECT_FALSE(text.contains("Papir"));
        EXPECT_FALSE(text.contains("Webshop"));
    }

    // The customers page as delimited text; the companies page as HTML.
    EXPECT_EQ(csvName, "Kulcsszó eredmény.csv");
    const QByteArray rows = contents(csv);
    EXPECT_TRUE(rows.contains("Odon Web")) << rows.toStdString();
    EXPECT_FALSE(rows.contains("Webshop"));
    EXPECT_EQ(htmName, "c_gek.htm");
    const QByteArray html = contents(htm);
    EXPECT_TRUE(html.contains("<title>C\xE9gek</title>")) << html.left(400).toStdString();
    EXPECT_TRUE(html.contains("Webshop Kft."));
    EXPECT_TRUE(html.contains(">web<")) << "the keyword as subtitle";
    EXPECT_FALSE(html.contains("Nyomda Bt."));
}

TEST_F(SearchOutputTest, TaskBrowserPrintsAndExportsTheListItShows)
{
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Anna"}});
    add("feladat", {{"rovid", "elso nyitott"}, {"ugyfel", anna}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "regen kesz"}, {"ugyfel", anna}, {"lezarva", "I"}});
    add("feladat", {{"rovid", "masik ugyfele"}, {"lezarva", "N"}});
    start();
    w->setTabIndex(1);
    w->Qry->locate("ugyfel", anna);

    const QString csv = home.path() + "/feladatok.csv";
    const QString htm = home.path() + "/feladatok.htm";
    QString csvName, htmName;
    user.onModal("frm_FeladatBongeszo", [&](QDialog& d) {
        auto& b = static_cast<Tfrm_FeladatBongeszo&>(d);
        b.aNyomtatKep->trigger();  // in progress only
        b.aSzur->trigger();        // every task of the customer
        b.aNyomtat->trigger();
        exportDelimitedTo(csv, &csvName);
        b.aExcel->trigger();
        exportHtmlTo(htm, &htmName);
        b.aHtml->trigger();
        b.aMegsem->trigger();
    });
    w->aFeladatBongeszo->trigger();

    ASSERT_EQ(printed.size(), 2);
    for (const QString& text : printed) {
        EXPECT_TRUE(text.contains("Feladatok listája")) << text.toStdString();
        EXPECT_TRUE(text.contains("Ügyfél: Anna"));
        EXPECT_TRUE(text.contains("elso nyitott"));
        EXPECT_FALSE(text.contains("masik ugyfele"));
    }
    EXPECT_FALSE(printed[0].contains("regen kesz"));
    EXPECT_TRUE(printed[1].contains("regen kesz"));

    EXPECT_EQ(csvName, "Feladat böngésző.csv");
    const QByteArray rows = contents(csv);
    EXPECT_TRUE(rows.contains("elso nyitott") && rows.contains("regen kesz")) << rows.toStdString();
    EXPECT_FALSE(rows.contains("masik ugyfele"));
    EXPECT_EQ(htmName, "feladatok.htm");
    const QByteArray html = contents(htm);
    EXPECT_TRUE(html.contains("<title>Feladatok</title>"));
    EXPECT_TRUE(html.contains("regen kesz"));
    EXPECT_FALSE(html.contains("masik ugyfele"));
}
