// The customer list report over 100,000 customers: the time until the
// preview shows its first page, the time to write the whole list as PDF
// (about three thousand pages), and the peak memory of each.
//
// Run by hand: build/bin/report_bench (offscreen when QT_QPA_PLATFORM is
// unset). The database is made first in a temporary folder.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "BenchApp.h"
#include "TableFill.h"
#include "app/Main/Beall.h"
#include "app/output/Lists.h"
#include "app/output/rptUgyfel.h"
#include "common/DataSet.h"
#include "common/PrintDocument.h"
#include "common/PrintPreview.h"
#include "engine/Database.h"

namespace {

constexpr int kCustomers = 100000;
constexpr int kCompanies = 2000;

using benchfill::companyName;
using benchfill::customerAddress;
using benchfill::customerName;
using benchfill::fill;
using benchfill::mobileNumber;
using benchfill::text;
using engine::Value;

void build(const QString& folder)
{
    const auto db = benchfill::newDatabase(folder.toStdString());
    engine::Database& d = *db;
    fill(d, "tulajdonos", 1, [](engine::Record& r, int) {
        r[0] = text("Mintabolt Kereskedelmi Kft.");
        r[1] = text("+36 62 555 123");
        r[4] = text("6720");
        r[5] = text("Szeged");
        r[6] = text("Kárász utca 5.");
    });
    fill(d, "tipus", 4, [](engine::Record& r, int i) { r[1] = text("típus " + std::to_string(i)); });
    fill(d, "ceg", kCompanies, [](engine::Record& r, int i) { r[1] = text(companyName(i)); });
    fill(d, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        r[1] = text(customerName(i));
        r[2] = text("+36 1 " + std::to_string(3000000 + i));
        r[3] = text("+36 1 " + std::to_string(2000000 + i));
        r[4] = text(mobileNumber(i));
        customerAddress(r, i);
        r[19] = Value::fromInt(1 + i % 4);
        r[20] = Value::fromInt(1 + i % kCompanies);
    });
}

// Peak resident memory since the last reset, in MB (Linux).
double peakMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

void resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

}  // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);

    QTemporaryDir data;
    QElapsedTimer clock;
    clock.start();
    build(data.path());
    std::printf("adatbázis: %d ügyfél, %d cég: %lld ms\n", kCustomers, kCompanies, clock.elapsed());

    Connection db(DatabaseAlias);
    db.setParams(Connection::paradoxParams(data.path()));
    clock.restart();
    QueryDataSet list(&db);
    lists::SetupCustomerQuery(&list);
    list.reopenWithLastLine("ORDER BY ugyfel_nev;");
    std::printf("az ügyféllista megnyitása név szerint (a főablakban már nyitva van): %lld ms\n", clock.elapsed());

    {
        resetPeak();
        clock.restart();
        TqrUgyfel r(&db);
        r.prepare(list, false, "ügyfél szerint");
        PrintPreviewWindow preview(r);
        const qint64 first = clock.elapsed();
        std::printf("nyomtatási kép, első oldal: %lld ms (cél < 1000 ms), csúcsmemória %.0f MB\n", first, peakMb());
    }
    {
        resetPeak();
        clock.restart();
        TqrUgyfel r(&db);
        r.prepare(list, false, "ügyfél szerint");
        const QString path = data.filePath("ugyfelek.pdf");
        QString error;
        if (!writePdf(r, path, &error)) {
            std::fprintf(stderr, "%s\n", error.toUtf8().constData());
            return 1;
        }
        const qint64 ms = clock.elapsed();
        std::printf("PDF: %d oldal, %.1f MB, %lld ms (cél < 20000 ms), csúcsmemória %.0f MB (cél < 300 MB)\n",
                    r.pageCount(), QFileInfo(path).size() / 1048576.0, ms, peakMb());
    }
    return 0;
}
