// nyilvex-print: writes a list report of a database folder as PDF, for
// scheduled jobs (the day's task list every morning).
//
//   nyilvex-print FOLDER CODE -o FILE.pdf [--filter EXPR] [--owner KEY --kind N]
//                 [--layout NAME]
//
// The rows are those the main window shows at start, in its start order
// (customers by name, tasks by id and unfinished only, products by article
// number, companies by name). --filter sets an expression of the filter
// language on the list instead (the task list's start filter included) and
// the report says "Szűrt adatok". The notes and notifications reports take
// the owner's key and kind (0 customer, 1 task, 2 product, 3 company); the
// address labels (qrCimke) the name of a label layout, and they are printed
// for the customer list.
// A bad folder, code, filter or output file ends the run with status 1 and a
// Hungarian message on standard error.
#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include "app/Main/Beall.h"
#include "app/output/Lists.h"
#include "app/output/rptCimke.h"
#include "app/output/rptErtesites.h"
#include "app/output/rptFeladat.h"
#include "app/output/rptFeladatReszl.h"
#include "app/output/rptMegjegyzes.h"
#include "app/output/rptTermek.h"
#include "app/output/rptUgyfel.h"
#include "app/output/rptUgyfelCeg.h"
#include "app/output/rptUgyfelReszl.h"
#include "common/DataSet.h"
#include "common/PrintDocument.h"

namespace {

struct Options {
    QString folder;
    QString code;
    QString output;
    QString filter;
    bool hasOwner = false;
    int owner = 0;
    int kind = -1;
    QString layout;
};

// The main window's lists as they stand at start.
struct Lists {
    explicit Lists(Connection* db) : customers(db), tasks(db), products(db)
    {
        lists::SetupCustomerQuery(&customers);
        customers.sql().last() = "ORDER BY ugyfel_nev;";
        lists::SetupTaskQuery(&tasks);
        tasks.sql().last() = "ORDER BY feladat;";
        lists::SetupProductTable(&products);
        products.setIndexFieldNames("cikkszam");
    }
    QueryDataSet customers;
    QueryDataSet tasks;
    TableDataSet products;
};

class Failure {
public:
    explicit Failure(QString message) : message(std::move(message)) {}
    QString message;
};

// Sets the --filter expression on the list; the report then says "Szűrt adatok".
bool applyFilter(DataSet& ds, const Options& o)
{
    if (!o.filter.isEmpty()) {
        ds.setFilter(o.filter);
        ds.setFiltered(true);
    }
    return ds.filtered();
}

QString sortSubtitle(const DataSet& ds, const QString& field)
{
    return ds.displayLabel(field) + " szerint";
}

void needOwner(const Options& o)
{
    if (!o.hasOwner || o.kind < 0 || o.kind > 3)
        throw Failure(QString("A(z) %1 jelentéshez meg kell adni a tulajdonost: --owner KULCS --kind TÍPUS "
                              "(0 ügyfél, 1 feladat, 2 termék, 3 cég).")
                          .arg(o.code));
    if (!o.filter.isEmpty()) throw Failure(QString("A(z) %1 jelentés nem szűrhető (--filter).").arg(o.code));
}

template <class R>
std::unique_ptr<PrintDocument> made(std::unique_ptr<R> r)
{
    return std::unique_ptr<PrintDocument>(std::move(r));
}

using Builder = std::function<std::unique_ptr<PrintDocument>(Connection*, Lists&, const Options&)>;

const std::map<QString, Builder>& builders()
{
    static const std::map<QString, Builder> all = {
        {"qrCimke",
         [](Connection* db, Lists& l, const Options& o) {
             if (o.layout.isEmpty())
                 throw Failure("A címkékhez meg kell adni a címke nevét: --layout NÉV");
             const LabelLayout layout = FindLabelLayout(db, o.layout);
             if (layout.name.isEmpty()) throw Failure("Nincs ilyen nevű címke: " + o.layout);
             const QString problem = LabelLayoutProblem(layout);
             if (!problem.isEmpty())
                 throw Failure(QString("A(z) „%1” címke nem nyomtatható: %2").arg(layout.name, problem));
             applyFilter(l.customers, o);
             l.customers.open();
             return made(std::make_unique<TqrCimke>(l.customers, layout));
         }},
        {"qrUgyfel",
         [](Connection* db, Lists& l, const Options& o) {
             const bool filtered = applyFilter(l.customers, o);
             auto r = std::make_unique<TqrUgyfel>(db);
             r->prepare(l.customers, filtered, sortSubtitle(l.customers, "ugyfel_nev"));
             return made(std::move(r));
         }},
        {"qrUgyfelReszl",
         [](Connection*, Lists& l, const Options& o) {
             const bool filtered = applyFilter(l.customers, o);
             l.customers.open();
             auto r = std::make_unique<TqrUgyfelReszl>();
             r->prepare(l.customers, filtered, sortSubtitle(l.customers, "ugyfel_nev"));
             return made(std::move(r));
         }},
        {"qrUgyfelCeg",
         [](Connection* db, Lists&, const Options& o) {
             auto r = std::make_unique<TqrUgyfelCeg>(db);
             applyFilter(r->Qry, o);
             r->prepare(-1);
             return made(std::move(r));
         }},
        {"qrFeladat",
         [](Connection*, Lists& l, const Options& o) {
             const bool filtered = applyFilter(l.tasks, o);
             l.tasks.open();
             auto r = std::make_unique<TqrFeladat>();
             r->prepare(l.tasks, filtered, sortSubtitle(l.tasks, "feladat"));
             return made(std::move(r));
         }},
        {"qrFeladatReszl",
         [](Connection*, Lists& l, const Options& o) {
             const bool filtered = applyFilter(l.tasks, o);
             l.tasks.open();
             auto r = std::make_unique<TqrFeladatReszl>();
             r->prepare(l.tasks, filtered, sortSubtitle(l.tasks, "feladat"));
             return made(std::move(r));
         }},
        {"qrTermek",
         [](Connection* db, Lists& l, const Options& o) {
             applyFilter(l.products, o);
             auto r = std::make_unique<TqrTermek>(db);
             r->prepare(l.products);
             return made(std::move(r));
         }},
        {"qrMegjegyzes",
         [](Connection* db, Lists&, const Options& o) {
             needOwner(o);
             auto r = std::make_unique<TqrMegjegyzes>(db);
             r->prepare(o.owner, o.kind);
             return made(std::move(r));
         }},
        {"qrErtesites",
         [](Connection* db, Lists&, const Options& o) {
             needOwner(o);
             auto r = std::make_unique<TqrErtesites>(db);
             r->prepare(o.owner, o.kind);
             return made(std::move(r));
         }},
    };
    return all;
}

QString knownCodes()
{
    QStringList codes;
    for (const auto& [code, build] : builders()) codes << code;
    return codes.join(", ");
}

Options parse(const QStringList& args)
{
    Options o;
    QStringList plain;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() {
            if (i + 1 >= args.size()) throw Failure(QString("Hiányzik a(z) %1 kapcsoló értéke.").arg(a));
            return args[++i];
        };
        auto number = [&]() {
            bool ok = false;
            const QString text = value();
            const int n = text.toInt(&ok);
            if (!ok) throw Failure(QString("A(z) %1 kapcsoló értéke nem egész szám: %2").arg(a, text));
            return n;
        };
        if (a == "-o") o.output = value();
        else if (a == "--filter") o.filter = value();
        else if (a == "--owner") { o.owner = number(); o.hasOwner = true; }
        else if (a == "--kind") o.kind = number();
        else if (a == "--layout") o.layout = value();
        else if (a.startsWith('-')) throw Failure("Ismeretlen kapcsoló: " + a);
        else plain << a;
    }
    if (plain.size() != 2 || o.output.isEmpty())
        throw Failure("Használat: nyilvex-print MAPPA KÓD -o FÁJL.pdf [--filter KIFEJEZÉS] "
                      "[--owner KULCS --kind TÍPUS] [--layout CÍMKE]");
    o.folder = plain[0];
    o.code = plain[1];
    return o;
}

int run(const QStringList& args)
{
    const Options o = parse(args);
    auto found = builders().find(o.code);
    if (found == builders().end())
        throw Failure(QString("Ismeretlen jelentéskód: %1 (ismertek: %2)").arg(o.code, knownCodes()));
    Connection db(DatabaseAlias);
    db.setParams(Connection::paradoxParams(o.folder));
    try {
        db.open();
    } catch (const DbError& e) {
        throw Failure(QString("Az adatbázis nem nyitható meg (%1): %2").arg(o.folder, e.message()));
    }
    Lists lists(&db);
    std::unique_ptr<PrintDocument> r;
    try {
        r = found->second(&db, lists, o);
    } catch (const DbError& e) {
        throw Failure(o.filter.isEmpty() ? "Hiba: " + e.message()
                                         : QString("Hibás szűrőfeltétel (%1): %2").arg(o.filter, e.message()));
    }
    QString error;
    if (!writePdf(*r, o.output, &error)) throw Failure(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // A scheduled job has no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    try {
        return run(app.arguments());
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s\n", f.message.toUtf8().constData());
    } catch (const DbError& e) {
        std::fprintf(stderr, "Hiba: %s\n", e.message().toUtf8().constData());
    }
    return 1;
}
