// The searches, filters and the task browser at full size: 100,000
// customers, 5,000 companies, 300,000 tasks. Times, each painted before the
// clock stops: the keyword search over the four tables (a keyword in every
// tenth to fiftieth row, and one nowhere); a text search step that walks the
// whole customer list without a match and stands on its last row; the task
// browser opened for a customer; a three-clause customer filter and a
// three-clause task filter set on the main window's lists.
//
// Run by hand: build/bin/search_bench [rounds] (offscreen when
// QT_QPA_PLATFORM is unset). The database is made first in a temporary folder.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "BenchApp.h"
#include "MainDatabase.h"
#include "Timing.h"
#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "app/search/FeladatBongeszo.h"
#include "app/search/KulcsszoKeres.h"
#include "app/search/Szur.h"
#include "app/search/SzurF.h"
#include "common/DataSet.h"

namespace {

using benchtime::median;
using benchtime::paint;
using benchtime::timed;

struct Timing {
    const char* what;
    double limit;  // ms
    std::vector<double> ms;
};

}  // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int rounds = BenchRounds(argc, argv, 3);

    QTemporaryDir data;
    QElapsedTimer made;
    made.start();
    benchfill::buildMainDatabase(data.path());
    std::fprintf(stderr, "adatbázis: %d ügyfél, %d cég, %d feladat, %d termék: %lld ms\n", benchfill::kCustomers,
                 benchfill::kCompanies, benchfill::kTasks, benchfill::kProducts, made.elapsed());
    benchfill::writeMainSettings(data.path());

    auto w = std::make_unique<Tfrm_Main>();
    if (!w->startUp()) throw std::runtime_error("start-up failed");
    Beall.lastArchiveDate = QDate::currentDate();
    w->show();
    paint(*w);

    std::vector<Timing> timings = {{"kulcsszó: szerviz, négy tábla", 300, {}},
                                   {"kulcsszó: nincs találat", 300, {}},
                                   {"szöveg: ügyfelek végig, nincs találat", 1000, {}},
                                   {"feladat böngésző egy ügyfélre", 100, {}},
                                   {"ügyfélszűrő három feltétellel", 200, {}},
                                   {"feladatszűrő három feltétellel", 200, {}}};
    FilterMemory customers;
    customers.ticks = {true, true, false, false, true};
    customers.ids = {17, 2, 3, 0};
    FilterMemory tasks;
    tasks.ticks = {true, true, false, false, true};
    tasks.ids = {2, 3, 0, 0};
    for (int round = 0; round < rounds; ++round) {
        {
            Tfrm_KulcsszoKeres k(w.get());
            k.show();
            timings[0].ms.push_back(timed([&] {
                k.search("szerviz");
                paint(k);
            }));
            timings[1].ms.push_back(timed([&] {
                k.search("nincs ilyen kulcsszó");
                paint(k);
            }));
        }

        w->setTabIndex(1);
        paint(*w);
        w->Qry->first();
        timings[2].ms.push_back(timed([&] {
            if (w->Qry->findRowText("nincs ilyen szöveg", w->Qry->recNo(), 1) >= 0)
                throw std::runtime_error("unexpected match");
            w->Qry->last();
            paint(*w);
        }));

        w->Qry->setRecNo(1 + round * 1000);
        const int customer = w->Qry->fieldByName("ugyfel")->asInteger();
        timings[3].ms.push_back(timed([&] {
            Tfrm_FeladatBongeszo b(true, customer, "Ügyfél: " + w->Qry->fieldByName("Ugyfel_nev")->asString(),
                                   w.get());
            b.show();
            paint(b);
        }));

        timings[4].ms.push_back(timed([&] {
            w->Qry->setFilter(BuildCustomerFilter(customers, QDate::currentDate()));
            w->Qry->setFiltered(true);
            paint(*w);
        }));
        w->Qry->setFiltered(false);

        w->setTabIndex(2);
        paint(*w);
        timings[5].ms.push_back(timed([&] {
            w->QryFeladat->setFilter(BuildTaskFilter(tasks));
            w->QryFeladat->setFiltered(true);
            paint(*w);
        }));
        w->QryFeladat->setFilter("lezarva='N'");
    }
    for (const Timing& t : timings)
        std::printf("%s medián %8.1f ms   legjobb %8.1f ms   (határ %4.0f ms)\n",
                    QString::fromUtf8(t.what).leftJustified(40).toUtf8().constData(), median(t.ms),
                    *std::min_element(t.ms.begin(), t.ms.end()), t.limit);
    return 0;
}
