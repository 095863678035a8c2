// The main window at full size: 100,000 customers, 5,000 companies, 300,000
// tasks and 2,000 products. Times, each painted before the clock stops:
// creation until the companies tab shows; title clicks that sort the
// customers (also after another program changed one), and ones that sort
// the tasks; one keystroke in the quick-search
// box; a page of the task grid scrolled; the change to the tasks tab. Last,
// the peak resident memory of the whole run beside the size of the tables.
//
// Run by hand: build/bin/mainwindow_bench [rounds] (offscreen when
// QT_QPA_PLATFORM is unset). The database is made first in a temporary folder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "BenchApp.h"
#include "Timing.h"
#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "common/DataSet.h"
#include "common/Settings.h"
#include "MainDatabase.h"
#include "engine/Codepage.h"
#include "widgets/DBGrid.h"

namespace {

using benchtime::median;
using benchtime::paint;
using benchtime::timed;

using benchfill::kCompanies;
using benchfill::kCustomers;
using benchfill::kProducts;
using benchfill::kTasks;
using benchfill::text;

// Renames the first customer, as another program on the folder would.
void rename(const QString& folder, int round)
{
    auto db = engine::Database::open(folder.toStdString());
    if (!db.isOk()) throw std::runtime_error(db.status().message());
    auto t = (*db)->openTable("ugyfel", engine::OpenMode::Shared);
    if (!t.isOk()) throw std::runtime_error(t.status().message());
    auto rows = (*t)->rows(engine::OrderSpec::primary());
    if (!rows.isOk() || rows->empty()) throw std::runtime_error("no customers");
    engine::Record rec;
    if (auto s = (*t)->read(rows->front(), rec); !s.isOk()) throw std::runtime_error(s.message());
    rec[1] = text("Zsoldos Ödön " + std::to_string(round));
    if (auto s = (*t)->update(rows->front(), rec); !s.isOk()) throw std::runtime_error(s.message());
}

struct Timing {
    const char* what;
    std::vector<double> ms;
};

// The most resident memory the process has had, in MB (2^20 bytes).
double peakRssMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

double folderMb(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) bytes += f.size();
    return double(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int rounds = BenchRounds(argc, argv, 3);

    QTemporaryDir data;
    QElapsedTimer made;
    made.start();
    benchfill::buildMainDatabase(data.path());
    std::fprintf(stderr, "adatbázis: %d ügyfél, %d cég, %d feladat, %d termék: %lld ms\n", kCustomers, kCompanies,
                 kTasks, kProducts, made.elapsed());
    benchfill::writeMainSettings(data.path());

    std::vector<Timing> timings = {{"létrehozás a cégek lapjáig", {}},
                                   {"ügyfelek rendezése mobil szerint", {}},
                                   {"ügyfelek rendezése név szerint", {}},
                                   {"feladatok rendezése határidő szerint", {}},
                                   {"feladatok rendezése id szerint", {}},
                                   {"egy billentyű a gyorskeresőben", {}},
                                   {"egy oldal lapozása a feladatokban", {}},
                                   {"lapváltás a feladatokra", {}},
                                   {"ügyfelek név szerint változás után", {}},
                                   {"feladatok határidő szerint változás után", {}},
                                   {"lapváltás az ügyfelekre változás után", {}}};
    for (int round = 0; round < rounds; ++round) {
        std::unique_ptr<Tfrm_Main> w;
        timings[0].ms.push_back(timed([&] {
            w = std::make_unique<Tfrm_Main>();
            if (!w->startUp()) throw std::runtime_error("start-up failed");
            w->show();
            paint(*w);
        }));
        Beall.lastArchiveDate = QDate::currentDate();

        w->setTabIndex(1);
        paint(*w);
        QHeaderView* customers = w->DBGrid1->horizontalHeader();
        timings[1].ms.push_back(timed([&] {
            emit customers->sectionClicked(4);
            paint(*w);
        }));
        timings[2].ms.push_back(timed([&] {
            emit customers->sectionClicked(1);
            paint(*w);
        }));
        // Typing a name letter by letter; the clock runs for the last letter.
        QTest::keyClicks(w->Edit1, "Kiss Csaba ");
        timings[5].ms.push_back(timed([&] {
            QTest::keyClick(w->Edit1, Qt::Key_1);
            paint(*w);
        }));

        timings[7].ms.push_back(timed([&] {
            w->setTabIndex(2);
            paint(*w);
        }));
        QHeaderView* tasks = w->DBGrid2->horizontalHeader();
        timings[3].ms.push_back(timed([&] {
            emit tasks->sectionClicked(3);
            paint(*w);
        }));
        timings[4].ms.push_back(timed([&] {
            w->SortBy("feladat", 2);
            paint(*w);
        }));
        w->DBGrid2->setFocus();
        timings[6].ms.push_back(timed([&] {
            QTest::keyClick(w->DBGrid2, Qt::Key_PageDown);
            paint(*w);
        }));
        // Another program renames a customer: the tab change to the
        // customers runs their list again.
        rename(data.path(), round * 3);
        timings[10].ms.push_back(timed([&] {
            w->setTabIndex(1);
            paint(*w);
        }));
        // A title clicked after such a change finds and sorts the customers,
        // and the tasks that show their names, anew.
        rename(data.path(), round * 3 + 1);
        timings[8].ms.push_back(timed([&] {
            emit customers->sectionClicked(1);
            paint(*w);
        }));
        w->setTabIndex(2);
        paint(*w);
        rename(data.path(), round * 3 + 2);
        timings[9].ms.push_back(timed([&] {
            emit tasks->sectionClicked(3);
            paint(*w);
        }));
        w->hide();
    }
    // Padded by characters, not bytes, so that accented names line up.
    for (const Timing& t : timings)
        std::printf("%s medián %8.1f ms   legjobb %8.1f ms\n",
                    QString::fromUtf8(t.what).leftJustified(40).toUtf8().constData(), median(t.ms),
                    *std::min_element(t.ms.begin(), t.ms.end()));
    std::printf("%s %8.1f MB (a táblák fájljai: %.1f MB)\n",
                QString::fromUtf8("legnagyobb memóriahasználat (RSS)").leftJustified(40).toUtf8().constData(),
                peakRssMb(), folderMb(data.path()));
    return 0;
}
