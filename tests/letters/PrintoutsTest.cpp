// Labels, envelopes, the registered-mail form and merged letters as their
// reader sees them: PDF text, word positions and page sizes.
#include <QFile>
#include <QImage>
#include <QProcess>

#include "app/output/Korlevel.h"
#include "app/output/rptAjanlott.h"
#include "app/output/rptCimke.h"
#include "app/output/rptNyomtat.h"
#include "common/Settings.h"
#include "tests/output/ReportFixture.h"
#include "tests/support/TempHome.h"

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

class PrintoutsTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        user.onPages = [this](PrintDocument& doc) {
            ASSERT_TRUE(writePdf(doc, pdf()));
            pages = QStringList();
            for (const QString& p : PdfFileText(pdf()).split('\f', Qt::SkipEmptyParts)) pages << p;
        };
    }

    QString pdf() const { return dir.filePath("ki.pdf"); }

    int customer(const QString& name, const QString& city, const QString& street, const QString& code,
                 int company = 0)
    {
        Values v{{"Ugyfel_nev", name}, {"Cim_varos", city}, {"Cim_cim", street}, {"Cim_irsz", code}};
        if (company) v.push_back({"ceg", company});
        return add("ugyfel", v);
    }

    // The first word of the last PDF that reads `text`.
    PdfWord word(const QString& text)
    {
        for (const PdfWord& w : PdfWords(pdf()))
            if (w.text == text) return w;
        ADD_FAILURE() << "no word " << text.toStdString();
        return {};
    }

    QueryDataSet* customers()
    {
        q = std::make_unique<QueryDataSet>(db.get());
        q->setSql({"SELECT * FROM ugyfel ORDER BY ugyfel"});
        q->open();
        return q.get();
    }

    TempHome home;
    std::unique_ptr<QueryDataSet> q;
};

TEST_F(PrintoutsTest, LabelsFillDownThenAcrossAndStartANewSheet)
{
    for (int i = 1; i <= 7; ++i) customer(QString("Ügyfél%1").arg(i), "Győr", "Fő utca 1.", "9021");
    // Two columns of three labels: (297 - 36) / 87.
    PrintLabels(nullptr, *customers(), LabelLayout{"próba", 18, 5, 87, 2});
    ASSERT_EQ(pages.size(), 2);
    const QStringList first = TextLines(pages[0]);
    ASSERT_GE(first.size(), 3);
    EXPECT_TRUE(first[0].contains("Ügyfél1") && first[0].contains("Ügyfél4")) << first[0].toStdString();
    EXPECT_EQ(CountContaining(first, "Ügyfél"), 3);
    EXPECT_EQ(CountContaining(first, "Győr"), 3);
    EXPECT_EQ(CountContaining(first, "9021"), 3);
    EXPECT_TRUE(TextLines(pages[1]).first().contains("Ügyfél7"));

    // The second column starts at 5 + 100 mm plus the text's 2.65 mm; the
    // fourth label at the sheet's top.
    const PdfWord fourth = word("Ügyfél4");
    EXPECT_NEAR(fourth.xMin, (105 + 2.65) * kPointsPerMm, 1.5);
    EXPECT_NEAR(word("Ügyfél2").yMin, word("Ügyfél1").yMin + 87 * kPointsPerMm, 1);
    // Postal order: name, city, street, postal code last.
    EXPECT_LT(word("Győr").yMin, word("Fő").yMin);
    EXPECT_LT(word("Fő").yMin, word("9021").yMin);
}

TEST_F(PrintoutsTest, AStoredLayoutWithoutRoomIsRefusedAtPrint)
{
    customer("Kovács Ödön", "Győr", "Fő utca 1.", "9021");
    PrintLabels(nullptr, *customers(), LabelLayout{"Régi", 10, 5, 37, 0});
    PrintLabels(nullptr, *customers(), LabelLayout{"Régi", 200, 5, 37, 3});
    EXPECT_EQ(user.errors(), (QStringList{"A(z) „Régi” címke nem nyomtatható:\nAz oszlopok száma legalább 1 legyen.",
                                          "A(z) „Régi” címke nem nyomtatható:\nA felső és alsó margó mellett egy "
                                          "címke sem fér el a lapon."}));
    EXPECT_TRUE(user.ofKind("preview").empty());
}

TEST_F(PrintoutsTest, TheEnvelopeIsExactly160By113MillimetresInPostalOrder)
{
    setOwner();
    const int company = add("ceg", {{"ceg_nev", "Alfa Kft."}});
    const int withCompany = customer("Kovács Ödön", "Győr", "Fő utca 1.", "9021", company);
    const int without = customer("Szabó Éva", "Pécs", "Ős utca 2.", "7621");

    PrintEnvelope(nullptr, db.get(), withCompany);
    EXPECT_EQ(PdfPageSize(pdf()), "454 x 320");
    QStringList lines = TextLines(pages.value(0));
    QStringList expected{"Mintabolt Kft.", "Szeged, Kárász utca 5.", "6720", "Alfa Kft.", "Kovács Ödön", "részére",
                         "Győr", "Fő utca 1.", "9021"};
    for (QString& l : lines) l = l.trimmed();
    EXPECT_EQ(lines, expected);
    // The postal code centred in its box (60.9 mm from the margin, 74.4 wide), 79.4 mm down.
    const PdfWord code = word("9021");
    EXPECT_NEAR((code.xMin + code.xMax) / 2, (10 + 60.9 + 74.4 / 2) * kPointsPerMm, 1.5);
    EXPECT_NEAR(code.yMin, (10 + 79.4) * kPointsPerMm, 3);
    EXPECT_NEAR(word("Mintabolt").xMin, (10 + 1.3) * kPointsPerMm, 1);

    // Without a company the first addressee line is empty.
    PrintEnvelope(nullptr, db.get(), without);
    lines = TextLines(pages.value(0));
    for (QString& l : lines) l = l.trimmed();
    EXPECT_EQ(lines.mid(3, 2), (QStringList{"Szabó Éva", "részére"}));
    EXPECT_EQ(user.ofKind("print").size(), 2u);
}

TEST_F(PrintoutsTest, TheEnvelopeCarriesTheLogoWhenThereIsOne)
{
    const int id = customer("Kovács Ödön", "Győr", "Fő utca 1.", "9021");
    auto images = [this] {
        QProcess p;
        p.start("pdfimages", {"-list", pdf()});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size() - 2;
    };
    PrintEnvelope(nullptr, db.get(), id);
    EXPECT_EQ(images(), 0);
    QImage logo(200, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(ProgramFolder() + "/Logo.bmp"));
    PrintEnvelope(nullptr, db.get(), id);
    EXPECT_EQ(images(), 1);
}

TEST_F(PrintoutsTest, NoCustomerPrintsNothingAndNoPrinterIsTold)
{
    const int id = customer("Kovács Ödön", "Győr", "Fő utca 1.", "9021");
    PrintEnvelope(nullptr, db.get(), 0);
    PrintRegisteredMailForm(nullptr, db.get(), 0);
    EXPECT_TRUE(user.asked.empty());
    user.printerInstalled = false;
    PrintEnvelope(nullptr, db.get(), id);
    PrintRegisteredMailForm(nullptr, db.get(), id);
    ASSERT_EQ(user.errors().size(), 2);
    EXPECT_TRUE(user.errors()[0].startsWith("Nincs telepített nyomtató"));
}

TEST_F(PrintoutsTest, TheRegisteredMailFormFillsItsBoxes)
{
    setOwner();
    const int company = add("ceg", {{"ceg_nev", "Alfa"}});
    PrintRegisteredMailForm(nullptr, db.get(), customer("Kovács Ödön", "Győr", "Fő utca 1.", "9021", company));
    EXPECT_EQ(PdfPageSize(pdf()), "454 x 320");
    // Left edges from the 10 mm margin, tops from the 12 mm one.
    EXPECT_NEAR(word("Mintabolt").xMin, (10 + 29.1) * kPointsPerMm, 1);
    EXPECT_NEAR(word("Alfa").xMin, (10 + 30.1) * kPointsPerMm, 1);
    EXPECT_NEAR(word("Kovács").xMin, (10 + 87.3) * kPointsPerMm, 1);
    EXPECT_NEAR(word("9021").xMin, (10 + 30.4) * kPointsPerMm, 1);
    EXPECT_NEAR(word("Győr").xMin, (10 + 48.9) * kPointsPerMm, 1);
    EXPECT_NEAR(word("Fő").xMin, (10 + 30.4) * kPointsPerMm, 1);
    EXPECT_NEAR(word("Alfa").yMin, word("Kovács").yMin, 0.5);
    EXPECT_NEAR(word("Győr").yMin - word("Alfa").yMin, 4.6 * kPointsPerMm, 1);
}

TEST_F(PrintoutsTest, LettersOnePerPageOrAllInOne)
{
    for (const char* n : {"Kovács Ödön", "Szabó Éva", "Nagy {Ilona} \\ [Mobil]"}) customer(n, "Győr", "Fő u.", "9021");
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Arial;}}"
                           "\\f0\\fs20 Tisztelt [ugyfel_NEV]!\\par \\'d6r\\'fcl\\'fcnk.\\par}";
    TqrNyomtat each(rtf, *customers(), true);
    QStringList texts = PdfPages(each);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].contains("Tisztelt Kovács Ödön!"));
    EXPECT_TRUE(texts[1].contains("Tisztelt Szabó Éva!"));
    EXPECT_TRUE(texts[2].contains("Tisztelt Nagy {Ilona} \\ [Mobil]!"));
    EXPECT_TRUE(texts[2].contains("Örülünk."));
    EXPECT_TRUE(texts[2].contains("oldal: 3"));
    EXPECT_TRUE(texts[0].contains("Körlevél nyomtatás"));
    EXPECT_TRUE(texts[0].contains("qrNyomtat"));

    TqrNyomtat together(rtf, *q, false);
    texts = PdfPages(together);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_LT(texts[0].indexOf("Kovács"), texts[0].indexOf("Szabó"));
    EXPECT_LT(texts[0].indexOf("Szabó"), texts[0].indexOf("Nagy"));

    // A long letter goes on over pages; an empty list gives the footer only.
    QByteArray longRtf = "{\\rtf1 ";
    for (int i = 0; i < 150; ++i) longRtf += "sor [Ugyfel]\\par ";
    TqrNyomtat tall(longRtf + "}", *q, true);
    texts = PdfPages(tall);
    ASSERT_EQ(texts.size(), 9);
    EXPECT_TRUE(texts[2].contains("sor 1"));
    EXPECT_TRUE(texts[3].startsWith("sor 2"));
    q->setFilter("Ugyfel_nev='senki'");
    q->setFiltered(true);
    TqrNyomtat none(rtf, *q, true);
    texts = PdfPages(none);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_FALSE(texts[0].contains("Tisztelt"));
    EXPECT_TRUE(texts[0].contains("oldal: 1"));
}

TEST_F(PrintoutsTest, TheListWindowMergesTheTabsListIntoThePreview)
{
    customer("Kovács Ödön", "Győr", "Fő u.", "9021");
    customer("Szabó Éva", "Pécs", "Ős u.", "7621");
    add("korlevel", {{"rovid", "Ajánlat"}, {"tipus", 1}, {"szoveg", QString("{\\rtf1 Kedves [Ugyfel_nev]!}")}});
    QueryDataSet* list = customers();
    user.onModal("frm_Korlevel", [](QDialog& d) {
        d.findChild<QAction*>("aNyomtat")->trigger();
        d.findChild<QAction*>("aEgybeAzEgesz")->trigger();
        d.reject();
    });
    QList<int> counts;
    user.onPages = [&](PrintDocument& doc) { counts << PdfPages(doc).size(); };
    OpenFormLetters(nullptr, 1, list);
    EXPECT_EQ(counts, (QList<int>{2, 1}));
    QFile work(ProgramFolder() + "/Temp/korlevel.rtf");
    ASSERT_TRUE(work.open(QIODevice::ReadOnly));
    EXPECT_EQ(work.readAll(), "{\\rtf1 Kedves [Ugyfel_nev]!}");
}

TEST_F(PrintoutsTest, TheCommandLinePrintsLabelsOfALayout)
{
    customer("Zoltán", "Győr", "Fő u. 1.", "9021");
    customer("Béla", "Eger", "Ős u. 2.", "3300");
    add("cimke", {{"cimke", "Kicsi"}, {"felsomargo", 10.0}, {"szelsomargo", 5.0}, {"cimkemagas", 30.0}, {"oszlop", 3}});
    add("cimke", {{"cimke", "Rossz"}, {"felsomargo", 10.0}, {"szelsomargo", 5.0}, {"cimkemagas", 30.0}, {"oszlop", 0}});
    auto run = [this](const QStringList& args) {
        QProcess p;
        p.start(NYILVEX_PRINT, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    auto [status, err] = run({folder(), "qrCimke", "--layout", "kicsi", "-o", pdf()});
    ASSERT_EQ(status, 0) << err.toStdString();
    const QString text = PdfFileText(pdf());
    EXPECT_LT(text.indexOf("Béla"), text.indexOf("Zoltán"));  // the list's start order: by name
    EXPECT_TRUE(text.contains("3300"));

    std::tie(status, err) = run({folder(), "qrCimke", "--layout", "Kicsi", "--filter", "cim_varos='Győr'", "-o", pdf()});
    ASSERT_EQ(status, 0) << err.toStdString();
    EXPECT_FALSE(PdfFileText(pdf()).contains("Béla"));

    std::tie(status, err) = run({folder(), "qrCimke", "--layout", "Nincs", "-o", pdf()});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(err.trimmed().endsWith("\nNincs ilyen nevű címke: Nincs") ||
                err.trimmed() == "Nincs ilyen nevű címke: Nincs") << err.toStdString();
    std::tie(status, err) = run({folder(), "qrCimke", "--layout", "Rossz", "-o", pdf()});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(err.trimmed().endsWith("A(z) „Rossz” címke nem nyomtatható: Az oszlopok száma legalább 1 legyen."))
        << err.toStdString();
    std::tie(status, err) = run({folder(), "qrCimke", "-o", pdf()});
    EXPECT_EQ(status, 1);
}

}  // namespace
