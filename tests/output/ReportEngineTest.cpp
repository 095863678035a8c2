// The report engine on its own: paper of any size, the page footer's
// system fields, a report header once, a box that wraps inside its height,
// and rows that do not fit moving whole to the next page.
#include <QPageSize>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ReportFixture.h"
#include "report/Report.h"

namespace {

using namespace report;

class ReportEngineTest : public ReportTest {};

TEST_F(ReportEngineTest, CustomPaperAndEveryPageNumbered)
{
    for (int i = 0; i < 12; ++i) add("tipus", {{"tipus_nev", QString("típus %1").arg(i + 1)}});
    TableDataSet kinds(db.get());
    kinds.setTableName("tipus.DB");
    kinds.open();

    Report r("Boríték próba", "qrProba");
    r.setPageLayout(QPageLayout(QPageSize(QSizeF(160, 113), QPageSize::Millimeter), QPageLayout::Portrait,
                                QMarginsF(10, 12, 10, 10), QPageLayout::Millimeter));
    r.setDataSet(&kinds);
    r.setPrintedAt(QDateTime(QDate(2026, 5, 6), QTime(7, 8)));
    r.reportHeader.height = 8;
    r.reportHeader.text({0, 0, 140, 6}, "Egyszer az elején");
    r.detail.height = 20;  // four rows fit a page of 91 mm less header and footer
    r.detail.field({0, 0, 60, 5}, "tipus_nev");
    r.pageFooter.height = 5;
    r.pageFooter.pageNumber({0, 0, 40, 4}, "oldal: ", {"Courier New", 8});
    r.pageFooter.dateTime({40, 0, 100, 4}, {"Courier New", 8}).right();

    QTemporaryDir tmp;
    const QString path = tmp.filePath("proba.pdf");
    ASSERT_TRUE(writePdf(r, path));
    EXPECT_EQ(PdfPageSize(path), "454 x 320");
    const QStringList p = PdfFileText(path).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(r.pageCount(), 4);  // 3 rows after the header, then 4, 4 and 1
    EXPECT_TRUE(p[0].contains("Egyszer az elején"));
    EXPECT_FALSE(p[1].contains("Egyszer az elején"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(p[i].contains(QString("oldal: %1").arg(i + 1)));
        EXPECT_TRUE(p[i].contains("2026.05.06. 07:08"));
    }
    EXPECT_TRUE(p[0].contains("típus 3"));
    EXPECT_FALSE(p[0].contains("típus 4"));
    EXPECT_TRUE(p[3].contains("típus 12"));
}

TEST_F(ReportEngineTest, WrappingBoxKeepsToItsLinesAndCutBoxToItsWidth)
{
    Report r("Tördelés", "qrProba");
    const QString words = QString("szó ").repeated(60);
    r.pageHeader.height = 30;
    r.pageHeader.text({0, 0, 40, 9}, words, {"Tahoma", 9, Bold}).wrap();
    r.pageHeader.text({0, 12, 30, 5}, "Nagyon hosszú szöveg, amely nem fér el a dobozában", {"Tahoma", 10});
    const QStringList p = PdfPages(r, false);
    ASSERT_EQ(p.size(), 1);
    // Two lines of the wrapped box, each within its 40 mm.
    const QStringList lines = TextLines(p[0]);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("szó szó"));
    EXPECT_TRUE(lines[1].startsWith("szó szó"));
    EXPECT_LT(lines[0].count("szó"), 15);
    EXPECT_LT(p[0].count("szó"), 30);
    EXPECT_TRUE(p[0].contains("Nagyon hosszú"));
    EXPECT_FALSE(p[0].contains("dobozában"));
}

}  // namespace
