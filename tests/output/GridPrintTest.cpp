// Grid print: the columns' places from the grid's widths (also when they
// would not fit, or the grid was never laid out), titles, alignment, the
// landscape page, the total, and an empty grid.
#include <QTemporaryDir>

#include "ReportFixture.h"
#include "app/output/rptGridPrint.h"
#include "widgets/DBGrid.h"

namespace {

TEST(GridColumnPlaces, SharesOfTheGridsWidthFourUnitsApart)
{
    const auto p = GridColumnPlaces({100, 50, 150}, 310, 575);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].left, 0);
    EXPECT_EQ(p[0].width, 185);
    EXPECT_EQ(p[1].left, 189);
    EXPECT_EQ(p[1].width, 93);
    EXPECT_EQ(p[2].left, 286);
    EXPECT_EQ(p[2].width, 278);
}

TEST(GridColumnPlaces, NeverPastTheRightMarginAndNoDivisionByZero)
{
    // Columns as wide as the whole grid: the gaps would push the last past the margin.
    for (int usable : {575, 838}) {
        const auto p = GridColumnPlaces({100, 100, 100, 100, 100}, 500, usable);
        EXPECT_LE(p.back().left + p.back().width, usable);
        EXPECT_GT(p.back().width, 100);
    }
    // A grid never laid out shares by its columns' widths.
    const auto p = GridColumnPlaces({18, 200, 100}, 0, 575);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_LE(p.back().left + p.back().width, 575);
    EXPECT_GT(p[1].width, p[2].width);
    const auto zero = GridColumnPlaces({0, 0}, 0, 575);
    EXPECT_LE(zero.back().left + zero.back().width, 575);
}

class GridPrintTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        add("termek", {{"cikkszam", "B-2"}, {"cikkszam_nev", "Lámpa"}});
        add("termek", {{"cikkszam", "A-1"}, {"cikkszam_nev", "Szék"}});
        products = std::make_unique<TableDataSet>(db.get());
        products->setTableName("termek.DB");
        products->setIndexFieldNames("cikkszam");
        products->open();
        grid = std::make_unique<DBGrid>();
        grid->setDataSet(products.get());
        grid->addMarkerColumn("*", 18);
        grid->addColumn("cikkszam", "cikkszám", 100);
        grid->addColumn("termek", "sorszám", 60);
        grid->addColumn("cikkszam_nev", "megnevezés", 150);
        grid->resize(350, 200);
    }

    // Writes the grid print to a PDF and returns its words.
    QList<PdfWord> printed(bool portrait, const QString& total = {})
    {
        TqrGridPrint r("Termékek");
        r.prepare(*grid, portrait, "Kulcsszó: szék", total, 8);
        path = dir.filePath(portrait ? "allo.pdf" : "fekvo.pdf");
        QString error;
        EXPECT_TRUE(writePdf(r, path, &error)) << error.toStdString();
        return PdfWords(path);
    }

    static const PdfWord* find(const QList<PdfWord>& words, const QString& text)
    {
        for (const PdfWord& w : words)
            if (w.text == text) return &w;
        return nullptr;
    }

    std::unique_ptr<TableDataSet> products;
    std::unique_ptr<DBGrid> grid;
    QString path;
};

// Points from the paper's left edge of a place in layout units.
double Points(double units) { return 10 / 25.4 * 72 + units * 72 / 76.8; }

TEST_F(GridPrintTest, ColumnsStandWhereTheGridsWidthsPutThem)
{
    const QList<PdfWord> words = printed(true);
    EXPECT_EQ(PdfPageSize(path), "595 x 842");
    const auto places = GridColumnPlaces({18, 100, 60, 150}, 350, 575);
    const PdfWord* star = find(words, "*");
    const PdfWord* code = find(words, "cikkszám");
    const PdfWord* number = find(words, "sorszám");
    const PdfWord* name = find(words, "megnevezés");
    ASSERT_TRUE(star && code && number && name);
    EXPECT_NEAR(star->xMin, Points(places[0].left), 1.5);
    EXPECT_NEAR(code->xMin, Points(places[1].left), 1.5);
    EXPECT_NEAR(name->xMin, Points(places[3].left), 1.5);
    // A number column is right-aligned, its title too.
    EXPECT_NEAR(number->xMax, Points(places[2].left + places[2].width), 1.5);
    const PdfWord* key = find(words, "2");
    ASSERT_TRUE(key);
    EXPECT_NEAR(key->xMax, Points(places[2].left + places[2].width), 1.5);
    // Rows in the data set's order, under the captions.
    const PdfWord* a1 = find(words, "A-1");
    const PdfWord* b2 = find(words, "B-2");
    ASSERT_TRUE(a1 && b2);
    EXPECT_LT(a1->yMin, b2->yMin);
    EXPECT_GT(a1->yMin, code->yMax);
    EXPECT_NEAR(a1->xMin, Points(places[1].left), 1.5);
    for (const char* s : {"Termékek", "Kulcsszó:", "qrGridPrint", "Nyilvex"}) EXPECT_TRUE(find(words, s)) << s;
    EXPECT_FALSE(find(words, "Összesen"));
}

TEST_F(GridPrintTest, LandscapeIsWiderAndTheTotalStandsUnderItsColumn)
{
    const QList<PdfWord> words = printed(false, "termek");
    EXPECT_EQ(PdfPageSize(path), "842 x 595");
    const auto places = GridColumnPlaces({18, 100, 60, 150}, 350, 838);
    const PdfWord* name = find(words, "megnevezés");
    ASSERT_TRUE(name);
    EXPECT_NEAR(name->xMin, Points(places[3].left), 1.5);
    const PdfWord* total = find(words, "Összesen");
    const PdfWord* sum = find(words, "3");
    ASSERT_TRUE(total && sum);
    EXPECT_NEAR(sum->xMax, Points(places[2].left + places[2].width), 1.5);
    EXPECT_NEAR(sum->yMin, total->yMin, 1.5);
}

TEST_F(GridPrintTest, EmptyGridPrintsOnePageWithCaptions)
{
    products->setFilter("cikkszam='nincs'");
    products->setFiltered(true);
    PrintGrid(grid.get(), false, true, QString(), QString(), 8, "Termékek");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pageText(0).contains("megnevezés"));
    EXPECT_TRUE(pageText(0).contains("qrGridPrint"));
    EXPECT_FALSE(pageText(0).contains("A-1"));
}

}  // namespace
