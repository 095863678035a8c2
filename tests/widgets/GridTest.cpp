// The grid over a data set: titles, markers, title clicks, following and
// moving the current row, keys, the drawing hook, and reading only the rows
// it shows.
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "../common/DbFixture.h"
#include "widgets/DBGrid.h"

namespace {

class GridTest : public DbTest {
protected:
    void addCustomers(int n)
    {
        for (int i = 1; i <= n; ++i)
            addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Ügyfél %1").arg(i)},
                              {"Mobil", QStringLiteral("+36 30 %1").arg(i)},
                              {"honap", i}});
    }

    DBGrid* showGrid(DataSet& ds, int width = 500, int height = 300)
    {
        grid_ = std::make_unique<DBGrid>();
        grid_->addMarkerColumn("*");
        grid_->addColumn("Ugyfel_nev", QString(), 150);
        grid_->addColumn("Mobil");
        grid_->setDataSet(&ds);
        grid_->resize(width, height);
        grid_->show();
        QApplication::processEvents();
        return grid_.get();
    }

    std::unique_ptr<DBGrid> grid_;
};

}  // namespace

TEST_F(GridTest, TitlesMarkersAndTitleClicks)
{
    addCustomers(3);
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.setDisplayLabel("ugyfel_nev", QStringLiteral("ügyfél"));
    t.open();
    DBGrid* g = showGrid(t);
    EXPECT_EQ(g->gridColumnCount(), 3);
    EXPECT_EQ(g->columnTitle(0), "*");
    EXPECT_EQ(g->columnTitle(1), "ügyfél");
    EXPECT_EQ(g->columnTitle(2), "Mobil");  // no label: the field's name
    EXPECT_EQ(g->columnWidth(0), 18);
    EXPECT_EQ(g->columnWidth(1), 150);
    EXPECT_EQ(g->model()->index(1, 1).data().toString(), "Ügyfél 2");
    EXPECT_FALSE(g->model()->index(1, 0).data().isValid());  // markers hold no text

    g->setTitleClicksEnabled(true);
    QSignalSpy clicks(g, &DBGrid::titleClicked);
    QHeaderView* header = g->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 1);
    EXPECT_EQ(clicks.at(0).at(1).toString(), "Ugyfel_nev");
    EXPECT_EQ(clicks.at(1).at(1).toString(), "");

    // Closed, as while the database is archived, the titles stay.
    t.close();
    EXPECT_EQ(g->columnTitle(1), "ügyfél");
    EXPECT_EQ(g->columnTitle(2), "Mobil");
    t.open();

    // Without columns given, every field shows.
    DBGrid all;
    all.setDataSet(&t);
    EXPECT_EQ(all.gridColumnCount(), t.fieldCount());
    EXPECT_EQ(all.columnField(1), "Ugyfel_nev");
}

TEST_F(GridTest, FollowsTheDataSetAndMovesIt)
{
    addCustomers(30);
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.open();
    DBGrid* g = showGrid(t);
    g->setFocus();
    EXPECT_EQ(g->currentIndex().row(), 0);

    t.setRecNo(3);
    EXPECT_EQ(g->currentIndex().row(), 2);
    EXPECT_TRUE(g->selectionModel()->isRowSelected(2, QModelIndex()));

    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(t.recNo(), 4);
    QTest::keyClick(g, Qt::Key_End);
    EXPECT_EQ(t.recNo(), 30);
    QTest::keyClick(g, Qt::Key_Home);
    EXPECT_EQ(t.recNo(), 1);
    QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_GT(t.recNo(), 5);
    QTest::keyClick(g, Qt::Key_PageUp);
    EXPECT_EQ(t.recNo(), 1);

    const QRect cell = g->visualRect(g->model()->index(4, 1));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(t.recNo(), 5);

    QSignalSpy enter(g, &DBGrid::enterPressed);
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(enter.size(), 1);

    // The selection keeps its colour without the focus.
    const QPalette& pal = g->palette();
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Highlight), pal.color(QPalette::Active, QPalette::Highlight));

    t.setFilter("honap<=10");
    t.setFiltered(true);
    EXPECT_EQ(g->model()->rowCount(), 10);
    EXPECT_EQ(g->currentIndex().row(), 4);
    t.append();
    EXPECT_EQ(g->model()->rowCount(), 11);
    EXPECT_EQ(g->currentIndex().row(), 10);
    t.cancel();
    EXPECT_EQ(g->model()->rowCount(), 10);
    t.close();
    EXPECT_EQ(g->model()->rowCount(), 0);
}

TEST_F(GridTest, DrawingHookDecidesColoursAndPictures)
{
    addCustomers(5);
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.open();
    t.setRecNo(2);
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    int selectedCalls = 0;
    bool wrongSelected = false;
    grid_ = std::make_unique<DBGrid>();
    grid_->onDrawCell = [&](DBGridCell& cell) {
        if (cell.selected) ++selectedCalls;
        if (cell.selected != (cell.row == 1)) wrongSelected = true;
        if (!cell.fieldName.isEmpty()) {
            if (cell.value("honap").toInt() == 4) cell.textColor = Qt::red;
            return;
        }
        cell.background = cell.value("honap").toInt() == 3 ? QColor(Qt::green) : QColor(Qt::white);
        if (cell.selected) cell.picture = picture;
    };
    DBGrid* g = grid_.get();
    g->addMarkerColumn("*");
    g->addColumn("Ugyfel_nev", QString(), 150);
    g->setDataSet(&t);
    g->setColumnColor(1, QColor(Qt::yellow));
    g->resize(400, 300);
    g->show();
    const QImage image = g->viewport()->grab().toImage();
    EXPECT_GT(selectedCalls, 0);
    EXPECT_FALSE(wrongSelected);

    const QRect marker3 = g->visualRect(g->model()->index(2, 0));
    EXPECT_EQ(image.pixelColor(marker3.right() - 2, marker3.center().y()), QColor(Qt::green));
    const QRect marker2 = g->visualRect(g->model()->index(1, 0));
    EXPECT_EQ(image.pixelColor(marker2.left() + 5, marker2.top() + 5), QColor(Qt::blue));
    const QRect name1 = g->visualRect(g->model()->index(0, 1));
    EXPECT_EQ(image.pixelColor(name1.right() - 2, name1.center().y()), QColor(Qt::yellow));
    // Row 4's text is red somewhere in its name cell.
    const QRect name4 = g->visualRect(g->model()->index(3, 1));
    bool red = false;
    for (int x = name4.left(); x < name4.right() && !red; ++x)
        for (int y = name4.top(); y < name4.bottom() && !red; ++y) red = image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 80;
    EXPECT_TRUE(red);
}

TEST_F(GridTest, ReadsOnlyTheVisibleRowsOf300000Tasks)
{
    constexpr int kTasks = 300000;
    {
        auto table = otherHandle().openTable("feladat", engine::OpenMode::Exclusive);
        ASSERT_TRUE(table.isOk()) << table.status().message();
        engine::Table& tasks = **table;
        const engine::TableDef& def = tasks.def();
        const int rovid = def.fieldIndex("rovid");
        const int lezarva = def.fieldIndex("lezarva");
        const int hatid = def.fieldIndex("dat_hatid");
        engine::Record rec(def.fields.size());
        for (int i = 0; i < kTasks; ++i) {
            rec.assign(def.fields.size(), engine::Value());
            rec[size_t(rovid)] = engine::Value::fromText("feladat " + std::to_string(i));
            rec[size_t(lezarva)] = engine::Value::fromText(i % 3 ? "N" : "I");
            rec[size_t(hatid)] = engine::Value::fromDate(engine::Date::fromYmd(2024, 1 + i % 12, 1 + i % 28));
            ASSERT_TRUE(tasks.insert(rec).isOk());
        }
    }
    TableDataSet t(conn.get());
    t.setTableName("feladat.DB");
    t.setDisplayFormat("feladat", "00000");
    t.open();
    ASSERT_EQ(t.recordCount(), kTasks);
    EXPECT_EQ(t.fetchCount(), 0u);  // opening read no values

    grid_ = std::make_unique<DBGrid>();
    DBGrid* g = grid_.get();
    g->addMarkerColumn("*");
    for (const char* f : {"feladat", "dat_beerk", "dat_hatid", "rovid", "lezarva", "allapot", "prioritas"})
        g->addColumn(f);
    g->onDrawCell = [](DBGridCell& cell) {
        if (cell.fieldName.isEmpty()) cell.drawText = cell.value("lezarva").toString() == "N";
    };
    g->setDataSet(&t);
    g->resize(700, 400);
    g->show();
    g->setFocus();
    g->viewport()->grab();
    const int visibleRows = g->viewport()->height() / g->verticalHeader()->defaultSectionSize() + 2;
    const quint64 perPage = quint64(visibleRows) * quint64(t.fieldCount());
    const quint64 firstPage = t.fetchCount();
    EXPECT_GT(firstPage, 0u);
    EXPECT_LE(firstPage, perPage);
    EXPECT_EQ(g->model()->index(0, 1).data().toString(), "00001");

    QTest::keyClick(g, Qt::Key_PageDown);
    g->viewport()->grab();
    EXPECT_LE(t.fetchCount() - firstPage, perPage);

    const quint64 beforeEnd = t.fetchCount();
    QTest::keyClick(g, Qt::Key_End);
    g->viewport()->grab();
    EXPECT_EQ(t.recNo(), kTasks);
    EXPECT_LE(t.fetchCount() - beforeEnd, perPage);
    EXPECT_EQ(t.fieldByName("feladat")->displayText(), "300000");

    // The filter reads its one column without filling the view's cache.
    const quint64 beforeFilter = t.fetchCount();
    t.setFilter("lezarva='N'");
    t.setFiltered(true);
    g->viewport()->grab();
    EXPECT_EQ(t.recordCount(), kTasks / 3 * 2);
    EXPECT_LE(t.fetchCount() - beforeFilter, perPage);

    EXPECT_TRUE(t.locate("rovid", QStringLiteral("FELADAT 29999"), DataSet::CaseInsensitive | DataSet::PartialKey));
    EXPECT_EQ(t.fieldByName("rovid")->asString(), "feladat 29999");
}

// A marker picture is 16 x 16 drawn one pixel below the row's top: rows are
// tall enough for it with a small font too, and after a font change.
TEST_F(GridTest, RowsHoldTheMarkerPictures)
{
    DBGrid g;
    QFont small = g.font();
    small.setPixelSize(8);
    g.setFont(small);
    EXPECT_GE(g.verticalHeader()->defaultSectionSize(), 18);
    EXPECT_GE(g.verticalHeader()->minimumSectionSize(), 18);
    QFont large = g.font();
    large.setPixelSize(30);
    g.setFont(large);
    EXPECT_GE(g.verticalHeader()->defaultSectionSize(), QFontMetrics(large).height() + 4);
}

