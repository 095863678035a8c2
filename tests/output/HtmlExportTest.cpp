#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "ReadBack.h"
#include "app/Main/Beall.h"
#include "app/output/ExportFile.h"
#include "app/output/Grid2Html.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"
#include "widgets/DBGrid.h"

namespace {

const QString kHead = "<html>\r\n"
                      "\r\n"
                      "<head>\r\n"
                      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">\r\n"
                      "<title>%1</title>\r\n"
                      "<meta name=\"GENERATOR\" content=\"Tarvio Bt. Grid2Html\">\r\n"
                      "</head>\r\n"
                      "\r\n"
                      "<body>\r\n"
                      "<p><strong><font face=\"Verdana\" size=\"2\">%1</font></strong></p>\r\n"
                      "<p><strong><font face=\"Verdana\" size=\"1\">%2</font></strong></p>\r\n"
                      "<div align=\"center\"><center>\r\n"
                      "\r\n"
                      "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" width=\"90%\">\r\n";
const QString kFoot = "</table>\r\n"
                      "</center></div>\r\n"
                      "\r\n"
                      "<p><font face=\"Verdana\" size=\"1\">Összesen %1 sor.</font></p>\r\n"
                      "\r\n"
                      "<p><font face=\"Verdana\" size=\"1\">2024.03.07 09:05:01</font></p>\r\n"
                      "\r\n"
                      "<p><font face=\"Courier New\" size=\"1\">Nyilvex 4.1.0.180</font></p>\r\n"
                      "\r\n"
                      "</body>\r\n"
                      "</html>\r\n";

class HtmlExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        file = home.path() + "/lista.htm";
        qry.setSql({"SELECT Ugyfel, Ugyfel_nev, ffino FROM ugyfel ORDER BY Ugyfel"});
        qry.setDisplayLabel("Ugyfel_nev", "cégnév");
        // A marker column, the name a quarter and the key an eighth of 400 pixels.
        grid.addMarkerColumn("!");
        grid.addColumn("Ugyfel_nev", QString(), 100);
        grid.addColumn("Ugyfel", "kód", 50);
        grid.setDataSet(&qry);
        grid.resize(400, 200);
    }

    void addCustomer(const QString& name)
    {
        conn.execSql("INSERT INTO ugyfel (Ugyfel_nev) VALUES ('" + name + "')");
    }

    void write(const QString& title, const QString& subtitle)
    {
        ExportFile out(file, ExportFile::Encoding::Windows1250);
        WriteGridHtml(grid, title, subtitle, QDateTime(QDate(2024, 3, 7), QTime(9, 5, 1)), out);
        out.commit();
    }

    TempHome home;
    Connection conn{DatabaseAlias};
    QueryDataSet qry{&conn};
    DBGrid grid;
    ScriptedInteraction user;
    QString file;
};

}  // namespace

TEST_F(HtmlExportTest, WidthsPercentagesRoundHalvesToEvenAndNamesComeFromTheTitle)
{
    EXPECT_EQ(ColumnPercent(100, 400), 25);
    EXPECT_EQ(ColumnPercent(50, 400), 12);
    EXPECT_EQ(ColumnPercent(150, 400), 38);
    EXPECT_EQ(ColumnPercent(10, 0), 0);
    EXPECT_EQ(HtmlFileName("Ügyfelek"), "_gyfelek.htm");
    EXPECT_EQ(HtmlFileName("Feladatok"), "feladatok.htm");
    EXPECT_EQ(HtmlFileName("Cégek"), "c_gek.htm");
    EXPECT_EQ(HtmlFileName("Ügyfél: Kiss"), "_gyf_l--kiss.htm");
}

TEST_F(HtmlExportTest, EmptyListGivesTheTemplateWithTheHeadingRowOnly)
{
    qry.open();
    write("Ügyfelek", "");
    const QString expected = kHead.arg("Ügyfelek", "")
        + "  <tr>\r\n"
          "    <td width=\"25%\" bgcolor=\"#C0C0C0\"><font face=\"Verdana\" size=\"1\"><strong>cégnév</strong></font></td>\r\n"
          "    <td width=\"12%\" bgcolor=\"#C0C0C0\"><font face=\"Verdana\" size=\"1\"><strong><p align=\"right\">kód</strong></font></td>\r\n"
          "  </tr>\r\n"
        + kFoot.arg(0);
    EXPECT_EQ(ReadBytes(file), Cp1250(expected));
}

TEST_F(HtmlExportTest, RowsAreWrittenEscapedAndReadBackAsShown)
{
    addCustomer("Kiss & <Társa> \"Bt\"");
    addCustomer("Nagy Éva");
    qry.open();
    qry.last();
    write("Lista <1> & \"2\"", "Kulcsszó: a<b");
    const QByteArray bytes = ReadBytes(file);
    EXPECT_TRUE(bytes.contains(Cp1250("    <td width=\"25%\"><font face=\"Verdana\" size=\"1\">"
                                      "Kiss &amp; &lt;Társa&gt; &quot;Bt&quot;</font></td>\r\n")));
    EXPECT_TRUE(bytes.contains(Cp1250("    <td width=\"12%\"><font face=\"Verdana\" size=\"1\"><p align=\"right\">2</font></td>\r\n")));
    EXPECT_TRUE(bytes.endsWith(Cp1250(kFoot.arg(2))));
    const HtmlPage page = ParseHtml(file);
    EXPECT_EQ(page.title, "Lista <1> & \"2\"");
    EXPECT_EQ(page.rows, QList<QStringList>({{"cégnév", "kód"}, {"Kiss & <Társa> \"Bt\"", "1"}, {"Nagy Éva", "2"}}));
    EXPECT_EQ(qry.recNo(), 2) << "the list keeps its current row";
    EXPECT_EQ(HtmlText("✓ ő"), "&#10003; ő");
}

TEST_F(HtmlExportTest, WindowWritesOnOkOpensTheFileAndKeepsTheNameWhenTheWriteFails)
{
    addCustomer("Kiss Anna");
    qry.open();
    user.onModal("frm_Grid2Html", [this](QDialog& d) {
        auto& w = static_cast<Tfrm_Grid2Html&>(d);
        EXPECT_EQ(w.windowTitle(), "HTML export");
        EXPECT_EQ(w.Edit1->text(), "_gyfelek.htm");
        EXPECT_TRUE(w.CheckBox1->isChecked());
        w.Edit1->setText(home.path() + "/nincs/lista.htm");
        w.Button1->click();
        EXPECT_TRUE(w.isVisible()) << "a failed write leaves the window open";
        w.Edit1->setText(file);
        w.Button1->click();
    });
    ShowHtmlExport(&grid, "Ügyfelek", QString());
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Hiba: "));
    EXPECT_EQ(ParseHtml(file).rows.size(), 2);
    const auto shell = user.ofKind("shell");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].text, file);

    // Unticked: written, not opened; an empty name is refused.
    QFile::remove(file);
    user.onModal("frm_Grid2Html", [this](QDialog& d) {
        auto& w = static_cast<Tfrm_Grid2Html&>(d);
        w.CheckBox1->setChecked(false);
        w.Edit1->clear();
        w.Button1->click();
        w.Edit1->setText(file);
        w.Button1->click();
    });
    ShowHtmlExport(&grid, "Ügyfelek", QString());
    EXPECT_EQ(user.errors().last(), "Nincs filenév megadva.");
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(user.ofKind("shell").size(), 1u);
}
