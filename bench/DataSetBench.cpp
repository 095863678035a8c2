// The main window's task list at full size: the task query over 300,000
// tasks opened into a query data set with a grid painted over it, a page
// scrolled, the filter "lezarva='N'" switched on, and a locate by prefix.
//
// Run by hand: build/bin/dataset_bench (QT_QPA_PLATFORM=offscreen is set
// when unset). The database is built once in a temporary folder first.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>

#include "common/DataSet.h"
#include "TableFill.h"
#include "app/output/Lists.h"
#include "engine/Codepage.h"
#include "engine/Sql.h"
#include "widgets/DBGrid.h"

namespace {

constexpr int kTasks = 300000;
constexpr int kCustomers = 100000;
constexpr int kCompanies = 5000;
constexpr int kProducts = 2000;

using engine::Value;

using benchfill::fill;
using benchfill::text;

// A database of the real layout with the rows of a busy small business.
void build(const QString& folder)
{
    const auto db = benchfill::newDatabase(folder.toStdString());
    engine::Database& d = *db;
    static const char* kNames[] = {"Kovács", "Szabó", "Tóth", "Nagy", "Horváth", "Kiss", "Varga", "Molnár",
                                   "Németh", "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros"};
    fill(d, "allapot", 5, [](engine::Record& r, int i) {
        r[0] = Value::fromInt(i + 1);
        r[1] = text("állapot " + std::to_string(i + 1));
        r[2] = text(i == 4 ? "I" : "N");
    });
    fill(d, "prioritas", 4, [](engine::Record& r, int i) {
        r[0] = Value::fromInt(i + 1);
        r[1] = text("prioritás " + std::to_string(i + 1));
        r[2] = Value::fromInt(i);
        r[3] = Value::fromInt(0x0000FF * (i % 2));
    });
    fill(d, "feltipus", 10, [](engine::Record& r, int i) { r[1] = text("típus " + std::to_string(i)); });
    fill(d, "feleredmeny", 10, [](engine::Record& r, int i) { r[1] = text("eredmény " + std::to_string(i)); });
    fill(d, "ceg", kCompanies, [](engine::Record& r, int i) {
        r[1] = text(std::string(kNames[i % 16]) + " és Társa Kft. " + std::to_string(i));
    });
    fill(d, "termek", kProducts, [](engine::Record& r, int i) {
        r[1] = text("CS-" + std::to_string(10000 + i));
        r[2] = text("termék " + std::to_string(i));
    });
    fill(d, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        r[1] = text(std::string(kNames[(i * 7) % 16]) + " " + kNames[(i * 3) % 16] + " " + std::to_string(i));
        r[20] = Value::fromInt(1 + i % kCompanies);
    });
    fill(d, "feladat", kTasks, [](engine::Record& r, int i) {
        r[1] = Value::fromDate(engine::Date::fromYmd(2020 + i % 5, 1 + i % 12, 1 + i % 28));
        r[2] = Value::fromDate(engine::Date::fromYmd(2021 + i % 5, 1 + (i / 3) % 12, 1 + (i / 7) % 28));
        r[3] = Value::fromInt(1 + i % kCustomers);
        r[4] = Value::fromInt(1 + i % 5);
        r[5] = Value::fromInt(1 + i % 4);
        r[6] = text("rövid leírás " + std::to_string(i));
        r[8] = Value::fromInt(1 + i % 10);
        r[9] = Value::fromInt(1 + i % 10);
        r[10] = text(i % 3 == 0 ? "I" : "N");
        r[11] = Value::fromInt(1 + i % kProducts);
        r[16] = Value::fromInt(1 + i % kCompanies);
    });
}

std::unique_ptr<Connection> conn;

// The tasks grid of the main window over the task query.
struct TaskList {
    QueryDataSet qry{conn.get()};
    DBGrid grid;

    TaskList()
    {
        qry.setSql(lists::TaskQuery());
        qry.setDisplayFormat("feladat", "00000");
        grid.addMarkerColumn("*");
        grid.addMarkerColumn("!");
        for (const char* f : {"dat_beerk", "dat_hatid", "ceg_nev", "cikkszam_nev", "allapot_nev", "prioritas_nev", "rovid"})
            grid.addColumn(f, QString(), 100);
        grid.onDrawCell = [](DBGridCell& cell) {
            if (cell.fieldName.isEmpty()) cell.drawText = false;
            else if (!cell.selected) cell.textColor = QColor::fromRgb(QRgb(cell.value("szin").toInt()));
        };
        grid.setDataSet(&qry);
        grid.resize(1000, 600);
        grid.show();
    }

    void paint() { grid.viewport()->grab(); }
    void key(Qt::Key k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&grid, &press);
    }
};

void BM_OpenTaskQueryAndPaint(benchmark::State& state)
{
    for (auto _ : state) {
        TaskList list;
        list.qry.setFilter("lezarva='N'");
        list.qry.setFiltered(state.range(0) != 0);
        list.qry.open();
        list.paint();
        benchmark::DoNotOptimize(list.qry.recordCount());
        state.counters["rows"] = list.qry.recordCount();
        state.counters["values read"] = double(list.qry.fetchCount());
    }
}
BENCHMARK(BM_OpenTaskQueryAndPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The statement alone, for comparison: what the data set and the grid add
// to BM_OpenTaskQueryAndPaint/0 is the difference.
void BM_RunTaskQueryOnly(benchmark::State& state)
{
    const std::string text = *engine::utf8ToCp1250(lists::TaskQuery().join('\n').toStdString());
    for (auto _ : state) {
        auto r = engine::runSql(conn->database(), text);
        if (!r.isOk()) state.SkipWithError(r.status().message().c_str());
        else benchmark::DoNotOptimize(r->rows->rowCount());
    }
}
BENCHMARK(BM_RunTaskQueryOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrollPage(benchmark::State& state)
{
    TaskList list;
    list.qry.open();
    list.paint();
    list.grid.setFocus();
    const quint64 before = list.qry.fetchCount();
    int pages = 0;
    for (auto _ : state) {
        list.key(Qt::Key_PageDown);
        list.paint();
        ++pages;
    }
    state.counters["values read per page"] = double(list.qry.fetchCount() - before) / pages;
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

void BM_FilterOpenTasks(benchmark::State& state)
{
    TaskList list;
    list.qry.open();
    list.qry.setFilter("lezarva='N'");
    for (auto _ : state) {
        list.qry.setFiltered(true);
        list.paint();
        state.PauseTiming();
        list.qry.setFiltered(false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilterOpenTasks)->Unit(benchmark::kMillisecond);

// The companies tab: every move in the company list refilters the customer
// query by the new company ("ceg=" + key).
void BM_CompanyMoveRefiltersCustomers(benchmark::State& state)
{
    QueryDataSet qry(conn.get());
    qry.setSql({"SELECT", " ugyfel.*,", " tipus.tipus_nev,", " ceg.ceg_nev,", " uzletkoto.uzletkoto_nev",
                "FROM ugyfel", " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
                " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
                " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)", "ORDER BY ugyfel_nev;"});
    qry.setFilter("ceg=1");
    qry.setFiltered(true);
    qry.open();
    int company = 1;
    for (auto _ : state) {
        company = company % kCompanies + 1;
        qry.setFilter(QStringLiteral("ceg=%1").arg(company));
        benchmark::DoNotOptimize(qry.recordCount());
    }
    state.counters["customers shown"] = qry.recordCount();
}
BENCHMARK(BM_CompanyMoveRefiltersCustomers)->Unit(benchmark::kMillisecond);

void BM_LocatePrefix(benchmark::State& state)
{
    TaskList list;
    list.qry.open();
    list.paint();
    const int options = DataSet::CaseInsensitive | DataSet::PartialKey;
    for (auto _ : state) {
        list.qry.first();
        // Near the end of the list, the worst case of a scan.
        if (!list.qry.locate("rovid", QStringLiteral("RÖVID LEÍRÁS 29999"), options)) state.SkipWithError("nem található");
        list.paint();
    }
}
BENCHMARK(BM_LocatePrefix)->Unit(benchmark::kMillisecond);

void BM_LocateCustomerName(benchmark::State& state)
{
    TableDataSet tbl(conn.get());
    tbl.setTableName("ugyfel.DB");
    tbl.setIndexName("idx_ugyfel_nev");
    tbl.open();
    const int options = DataSet::CaseInsensitive | DataSet::PartialKey;
    for (auto _ : state) {
        tbl.first();
        if (!tbl.locate("ugyfel_nev", QStringLiteral("varga l"), options)) state.SkipWithError("nem található");
    }
}
BENCHMARK(BM_LocateCustomerName)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    build(dir.path());
    std::fprintf(stderr, "adatbázis: %d feladat, %d ügyfél, %lld ms\n", kTasks, kCustomers, timer.elapsed());
    conn = std::make_unique<Connection>();
    conn->setParams(Connection::paradoxParams(dir.path()));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    conn.reset();
    return 0;
}
