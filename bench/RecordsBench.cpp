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

#include "TableFill.h"
#include "app/Main/Beall.h"
#include "app/records/TorzsCeg.h"
#include "app/records/Ugyfel_valaszt.h"
#include "common/DataSet.h"
#include "common/Layout.h"
#include "widgets/Application.h"

namespace {

constexpr int kCustomers = 100000;
constexpr int kCompanies = 5000;

using benchfill::fill;
using benchfill::text;
using engine::Value;

void build(const QString& folder)
{
    auto db = engine::Database::open(folder.toStdString());
    if (!db.isOk()) throw std::runtime_error(db.status().message());
    engine::Database& d = **db;
    if (auto s = layout::createAll(d); !s.isOk()) throw std::runtime_error(s.message());
    static const char* kFamily[] = {"Kovács", "Szabó", "Tóth", "Nagy", "Horváth", "Kiss", "Varga", "Molnár",
                                    "Németh", "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros"};
    static const char* kGiven[] = {"Anna", "Béla", "Csaba", "Dóra", "Erika", "Ferenc", "Gábor", "Hajnalka",
                                   "István", "Judit", "Katalin", "László", "Mária", "Nándor", "Olga", "Péter"};
    fill(d, "ceg", kCompanies, [](engine::Record& r, int i) {
        r[1] = text(std::string(kFamily[(i * 5) % 16]) + " és Társa Kft. " + std::to_string(i));
        r[2] = text(std::to_string(1000 + i % 9000));
        r[3] = text("Város " + std::to_string(i % 300));
        r[4] = text("Fő utca " + std::to_string(i % 120) + ".");
        r[8] = text("+36 1 " + std::to_string(1000000 + i * 7));
    });
    fill(d, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        r[1] = text(std::string(kFamily[(i * 7) % 16]) + " " + kGiven[(i * 3) % 16] + " " + std::to_string(i));
        r[4] = text("+36 30 " + std::to_string(1000000 + (i * 7919) % 9000000));
        r[9] = text("Város " + std::to_string(i % 300));
        r[10] = text(std::to_string(1000 + i % 9000));
        r[11] = text("Fő utca " + std::to_string(i % 120) + ".");
    });
}

struct Timing {
    const char* what;
    std::vector<double> ms;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void paint(QWidget& w)
{
    QApplication::processEvents();
    (void)w.grab();
}

template <class F>
double timed(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    NyilvexApplication app(argc, argv);
    SetupApplication(app);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

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
