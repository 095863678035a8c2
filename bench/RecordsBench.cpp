// The customer picker and the company list over 100,000 customers and 5,000
// companies. Times, each painted before the clock stops: from making the
// window to its first paint (as its entry operation opens it, standing on a
// key near the end), and one keystroke in its search box.
//
// Run by hand: build/bin/records_bench [rounds] (offscreen when
// QT_QPA_PLATFORM is unset). The database is made first in a temporary folder.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchApp.h"
#include "TableFill.h"
#include "Timing.h"
#include "app/Main/Beall.h"
#include "app/records/TorzsCeg.h"
#include "app/records/Ugyfel_valaszt.h"
#include "common/DataSet.h"

namespace {

using benchtime::median;
using benchtime::paint;
using benchtime::timed;

constexpr int kCustomers = 100000;
constexpr int kCompanies = 5000;

using benchfill::companyRow;
using benchfill::customerAddress;
using benchfill::customerName;
using benchfill::fill;
using benchfill::mobileNumber;
using benchfill::text;

void build(const QString& folder)
{
    const auto db = benchfill::newDatabase(folder.toStdString());
    engine::Database& d = *db;
    fill(d, "ceg", kCompanies, companyRow);
    fill(d, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        r[1] = text(customerName(i));
        r[4] = text(mobileNumber(i));
        customerAddress(r, i);
    });
}

struct Timing {
    const char* what;
    std::vector<double> ms;
};

// Opens the list as its entry operation does, standing on `key`, and shows it.
template <class W, class... Args>
std::unique_ptr<W> open(int key, Args... args)
{
    auto w = std::make_unique<W>(args...);
    w->Tbl->open();
    w->Tbl->locate(w->Tbl->fields().front()->fieldName(), key);
    w->show();
    paint(*w);
    return w;
}

// Types `word` into the list's search box letter by letter; returns the
// time of each keystroke, painted.
std::vector<double> typeTimed(ListWindow& w, const char* word)
{
    std::vector<double> ms;
    w.Edit1->clear();
    for (const char* c = word; *c; ++c)
        ms.push_back(timed([&] {
            QTest::keyClick(w.Edit1, *c);
            paint(w);
        }));
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int rounds = BenchRounds(argc, argv, 5);

    QTemporaryDir data;
    QElapsedTimer made;
    made.start();
    build(data.path());
    std::fprintf(stderr, "adatbázis: %d ügyfél, %d cég: %lld ms\n", kCustomers, kCompanies, made.elapsed());
    Connection conn{DatabaseAlias};
    conn.setParams(Connection::paradoxParams(data.path()));

    std::vector<Timing> timings = {{"ügyfélválasztó megnyitása", {}},
                                   {"ügyfélválasztó: egy billentyű", {}},
                                   {"cégek listája megnyitása", {}},
                                   {"cégek listája: egy billentyű", {}}};
    // ASCII letters, as keyClick types them; "Molnar" and "Toth" stop matching
    // half-way, so a search that finds nothing is timed too.
    const char* customerWords[] = {"Varga", "szab", "Molnar", "Zsolt"};
    const char* companyWords[] = {"Toth", "kiss", "papp es", "Xenia"};
    for (int round = 0; round < rounds; ++round) {
        std::unique_ptr<Tfrm_Ugyfel_valaszt> customers;
        timings[0].ms.push_back(timed([&] { customers = open<Tfrm_Ugyfel_valaszt>(kCustomers - round); }));
        for (double ms : typeTimed(*customers, customerWords[round % 4])) timings[1].ms.push_back(ms);
        customers.reset();

        std::unique_ptr<Tfrm_TorzsCeg> companies;
        timings[2].ms.push_back(timed([&] { companies = open<Tfrm_TorzsCeg>(kCompanies - round, true); }));
        for (double ms : typeTimed(*companies, companyWords[round % 4])) timings[3].ms.push_back(ms);
    }
    for (const Timing& t : timings)
        std::printf("%s medián %8.1f ms   legrosszabb %8.1f ms\n",
                    QString::fromUtf8(t.what).leftJustified(32).toUtf8().constData(), median(t.ms),
                    *std::max_element(t.ms.begin(), t.ms.end()));
    return 0;
}
