// The customer list: header, owner's details, captions, rows in the list's
// order and filter, page breaks, the footer; the empty list; printing
// without a printer; the preview window's pages and its "PDF mentése".
#include <QFile>
#include <QRegularExpression>

#include "ReportFixture.h"
#include "app/output/Lists.h"
#include "app/output/rptUgyfel.h"
#include "common/PrintPreview.h"

namespace {

class CustomerListTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        list = std::make_unique<QueryDataSet>(db.get());
        lists::SetupCustomerQuery(list.get());
    }

    void addCustomer(const QString& name, const Values& more = {})
    {
        Values v{{"ugyfel_nev", name}};
        v.insert(v.end(), more.begin(), more.end());
        add("ugyfel", v);
    }

    // Opens the list ordered by name, as the main window shows it at start.
    void openByName() { list->reopenWithLastLine("ORDER BY ugyfel_nev;"); }

    std::unique_ptr<QueryDataSet> list;
};

TEST_F(CustomerListTest, PrintsHeaderOwnerCaptionsRowsAndFooter)
{
    setOwner();
    const int company = add("ceg", {{"ceg_nev", "Kék Kft."}});
    const int kind = add("tipus", {{"tipus_nev", "Vevő"}});
    addCustomer("Zöld Zoltán", {{"mobil", "30/111-2222"}, {"cim_irsz", "1011"}, {"cim_varos", "Budapest"},
                                {"cim_cim", "Fő utca 1."}, {"ceg", company}, {"tipus", kind}});
    addCustomer("Ábrahám Éva", {{"telefon_ceges", "1/234-5678"}, {"telefon_magan", "1/999-8888"}});
    openByName();

    PrintCustomerList(*list, false, "ügyfél szerint", false);

    ASSERT_EQ(user.ofKind("preview").size(), 1u);
    EXPECT_EQ(user.ofKind("preview")[0].title, "Ügyfelek listája");
    ASSERT_EQ(pages.size(), 1);
    const QString text = pageText(0);
    const QStringList lines = page(0);
    for (const char* s : {"Ügyfelek listája", "ügyfél szerint", "Mintabolt Kft.", "6720, Szeged", "Kárász utca 5.",
                          "62/555-123", "ügyfél", "céges telefon", "mobil", "magántelefon", "cím",
                          "Nyilvex V4.1.0.180", "oldal: 1", "qrUgyfel", "www.tarvio.hu", "30/111-2222",
                          "1/234-5678", "1/999-8888", "Kék Kft.", "Vevő", "Fő utca 1.", "Budapest"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_FALSE(text.contains("Szűrt adatok"));
    // The heading and the title in the footer: the same text twice.
    EXPECT_EQ(CountContaining(lines, "Ügyfelek listája"), 2);
    // Rows in the list's order, the captioned company under its customer.
    const int abraham = text.indexOf("Ábrahám Éva");
    const int zold = text.indexOf("Zöld Zoltán");
    EXPECT_TRUE(abraham > 0 && zold > abraham);
    EXPECT_GT(text.indexOf("Kék Kft."), zold);
    EXPECT_TRUE(text.contains(QRegularExpression("cég\\s+Kék Kft\\.")));
    EXPECT_TRUE(text.contains(QRegularExpression("típus\\s+Vevő")));
    // The list's current row is where the user left it.
    EXPECT_EQ(list->recNo(), 1);
}

TEST_F(CustomerListTest, FilteredListSaysSoAndPrintsOnlyItsRows)
{
    add("tulajdonos", {{"tulajdonos", "Bolt"}, {"varos", "Pécs"}});
    const int company = add("ceg", {{"ceg_nev", "Kék Kft."}});
    addCustomer("Aladár", {{"ceg", company}});
    addCustomer("Benő");
    addCustomer("Cecil", {{"ceg", company}});
    openByName();
    list->setFilter("ceg=" + QString::number(company));
    list->setFiltered(true);
    list->last();

    PrintCustomerList(*list, true, "ügyfél szerint", false);

    const QString text = pageText(0);
    EXPECT_TRUE(text.contains("Szűrt adatok"));
    EXPECT_GT(text.indexOf("Szűrt adatok"), text.indexOf("ügyfél szerint"));
    EXPECT_TRUE(text.contains("Aladár"));
    EXPECT_TRUE(text.contains("Cecil"));
    EXPECT_FALSE(text.contains("Benő"));
    // Without a postal code the city line begins with the comma.
    EXPECT_TRUE(text.contains(", Pécs"));
    EXPECT_EQ(list->recNo(), 2);
}

TEST_F(CustomerListTest, LongListBreaksPagesWithHeaderOnEveryPageAndEveryRowOnce)
{
    setOwner();
    {
        TableDataSet t(db.get());
        t.setTableName("ugyfel.DB");
        t.open();
        for (int i = 1; i <= 95; ++i) {
            t.append();
            t.fieldByName("ugyfel_nev")->setValue(QString("Ügyfél %1").arg(i, 3, 10, QLatin1Char('0')));
            t.post();
        }
        t.flushBuffers();
    }
    openByName();

    PrintCustomerList(*list, false, "ügyfél szerint", false);

    ASSERT_GE(pages.size(), 3);
    QStringList names;
    for (int p = 0; p < pages.size(); ++p) {
        const QStringList lines = page(p);
        EXPECT_EQ(CountContaining(lines, "Ügyfelek listája"), 2) << "page " << p + 1;
        EXPECT_EQ(CountContaining(lines, "Mintabolt Kft."), 1) << "page " << p + 1;
        EXPECT_EQ(CountContaining(lines, QString("oldal: %1").arg(p + 1)), 1) << "page " << p + 1;
        EXPECT_TRUE(pageText(p).contains("magántelefon"));
        for (const QString& l : lines) {
            const auto m = QRegularExpression("Ügyfél (\\d{3})").match(l);
            if (m.hasMatch()) names << m.captured(1);
        }
    }
    ASSERT_EQ(names.size(), 95);
    for (int i = 0; i < 95; ++i) EXPECT_EQ(names[i].toInt(), i + 1);
}

TEST_F(CustomerListTest, EmptyListPrintsOnePageWithHeaderAndFooter)
{
    openByName();
    PrintCustomerList(*list, false, "ügyfél szerint", false);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pageText(0).contains("Ügyfelek listája"));
    EXPECT_TRUE(pageText(0).contains("oldal: 1"));
    EXPECT_TRUE(pageText(0).contains("qrUgyfel"));
}

TEST_F(CustomerListTest, PrintingWithoutPrinterSaysSoAndPrintsNothing)
{
    addCustomer("Aladár");
    openByName();
    user.printerInstalled = false;
    PrintCustomerList(*list, false, "ügyfél szerint", true);
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Nincs telepített nyomtató"));
    EXPECT_TRUE(pages.isEmpty());

    user.printerInstalled = true;
    PrintCustomerList(*list, false, "ügyfél szerint", true);
    EXPECT_EQ(user.ofKind("print").size(), 2u);
    EXPECT_TRUE(pageText(0).contains("Aladár"));
    EXPECT_EQ(user.errors().size(), 1);
}

TEST_F(CustomerListTest, PreviewWindowTurnsPagesAndSavesPdf)
{
    {
        TableDataSet t(db.get());
        t.setTableName("ugyfel.DB");
        t.open();
        for (int i = 1; i <= 70; ++i) {
            t.append();
            t.fieldByName("ugyfel_nev")->setValue(QString("Vevő %1").arg(i));
            t.post();
        }
        t.flushBuffers();
    }
    openByName();
    TqrUgyfel r(db.get());
    r.prepare(*list, false, "ügyfél szerint");

    PrintPreviewWindow preview(r);
    // Only what the first page needs is laid out before it shows.
    EXPECT_FALSE(r.isComplete());
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_FALSE(preview.aElozo->isEnabled());
    preview.aUtolso->trigger();
    EXPECT_TRUE(r.isComplete());
    const int last = r.pageCount() - 1;
    EXPECT_GE(last, 2);
    EXPECT_EQ(preview.currentPage(), last);
    EXPECT_EQ(preview.pageText(), QString("%1 / %1").arg(last + 1));
    EXPECT_FALSE(preview.aKovetkezo->isEnabled());
    preview.aElozo->trigger();
    EXPECT_EQ(preview.currentPage(), last - 1);
    preview.aElso->trigger();
    EXPECT_EQ(preview.currentPage(), 0);
    // Shown, the whole first page fits the window, drawn on white with text.
    preview.show();
    preview.aEgeszOldal->trigger();
    const QImage& img = preview.pageImage();
    EXPECT_LE(img.height(), preview.height());
    // NYILVEX_SHOTS names a folder to look at the window in.
    if (qEnvironmentVariableIsSet("NYILVEX_SHOTS"))
        preview.grab().save(qEnvironmentVariable("NYILVEX_SHOTS") + "/preview.png");
    EXPECT_NEAR(double(img.height()) / img.width(), 297.0 / 210.0, 0.01);
    EXPECT_NE(img.pixel(img.width() / 2, img.height() / 2 - img.height() / 3), 0u);

    const QString path = dir.filePath("mentett.pdf");
    user.files = {path};
    preview.aPdf->trigger();
    ASSERT_EQ(user.ofKind("save").size(), 1u);
    EXPECT_EQ(user.saveDialogs[0].options.defaultSuffix, "pdf");
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(PdfPageSize(path), "595 x 842");
    const QString text = PdfFileText(path);
    EXPECT_TRUE(text.contains("Vevő 70"));
    EXPECT_EQ(text.count("Ügyfelek listája"), 2 * (last + 1));

    // A file that cannot be written is an error, not a silent success.
    user.files = {dir.filePath("nincs/ilyen/mappa.pdf")};
    preview.aPdf->trigger();
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("A fájl nem írható"));
}

}  // namespace
