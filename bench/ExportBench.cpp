// The exports and the SQL console over 100,000 customers with every field
// filled: the delimited export of all fields (and how often its progress bar
// moved), the HTML export of a grid of every field, and a console SELECT of
// every customer until its grid has painted.
//
// Run by hand: build/bin/export_bench [rounds] (offscreen when
// QT_QPA_PLATFORM is unset). The database is made first in a temporary folder.
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

#include "BenchApp.h"
#include "TableFill.h"
#include "app/Main/Beall.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/sqlconsole/SQL.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "widgets/DBGrid.h"

namespace {

constexpr int kCustomers = 100000;

using benchfill::text;
using engine::Value;

// Answers every box at once, so that the clock measures the work only.
class SilentUser : public DesktopInteraction {
public:
    void message(QWidget*, MessageKind kind, const QString&, const QString& text) override
    {
        if (kind == MessageKind::Error) throw std::runtime_error(text.toStdString());
    }
    bool openWithShell(const QString&, const QString&) override { return true; }
};

void build(const QString& folder)
{
    const auto db = benchfill::newDatabase(folder.toStdString());
    benchfill::fill(*db, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        const std::string n = std::to_string(i);
        r[1] = text("Kovács Béla " + n);
        for (int f = 2; f <= 5; ++f) r[size_t(f)] = text("+36 1 " + std::to_string(2000000 + i + f));
        r[6] = text("ugyfel" + n + "@pelda.hu");
        r[7] = text("masik" + n + "@pelda.hu");
        r[8] = text("https://pelda.hu/" + n);
        r[9] = text("Székesfehérvár");
        r[10] = text("8000");
        r[11] = text("Fő utca " + n + ".");
        r[12] = text("Nagy Éva");
        r[13] = Value::fromDate(engine::Date::fromYmd(2024, 1 + i % 12, 1 + i % 28));
        r[14] = text("első sor " + n + "\r\nmásodik sor; \"idézet\"");
        r[15] = text("Kovács");
        r[16] = text("Béla");
        for (int f = 17; f <= 21; ++f) r[size_t(f)] = Value::fromInt(1 + i % 12);
        r[22] = Value::fromDate(engine::Date::fromYmd(2025, 1 + i % 12, 1 + i % 28));
        r[23] = text("figyelmeztetés " + n);
        r[24] = Value::fromInt(1 + i % 5);
        r[25] = text("dr.");
        r[26] = Value::fromInt(i % 2);
        r[27] = text("kulcs; szó " + n);
    });
}

double timed(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> ms, double limit)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-48s legjobb %8.1f ms  medián %8.1f ms  (határ %6.0f ms)\n", what, ms.front(), ms[ms.size() / 2],
                limit);
}

}  // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    SilentUser user;
    setInteraction(&user);
    const int rounds = BenchRounds(argc, argv, 3);

    QTemporaryDir data;
    build(data.path());
    Connection conn(DatabaseAlias);
    conn.setParams(Connection::paradoxParams(data.path()));
    QueryDataSet qry(&conn);
    qry.setSql({"SELECT * FROM ugyfel ORDER BY Ugyfel_nev"});
    qry.open();
    DBGrid grid;
    grid.setDataSet(&qry);
    grid.resize(1200, 600);
    grid.show();

    std::vector<double> delimited, html, console;
    qint64 csvBytes = 0, htmlBytes = 0;
    int progressMoves = 0;
    for (int round = 0; round < rounds; ++round) {
        {
            Tfrm_Hatarolt w(&qry);
            w.Edit1->setText(data.path() + "/ugyfel.csv");
            w.CheckBox1->setChecked(true);
            w.show();
            progressMoves = 0;
            QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, [&] { ++progressMoves; });
            delimited.push_back(timed([&] { w.Button1->click(); }));
            csvBytes = QFileInfo(w.Edit1->text()).size();
        }
        {
            Tfrm_Grid2Html w(&grid, "Ügyfelek", QString());
            w.Edit1->setText(data.path() + "/ugyfel.htm");
            w.CheckBox1->setChecked(false);
            html.push_back(timed([&] { w.Button1->click(); }));
            htmlBytes = QFileInfo(w.Edit1->text()).size();
        }
        {
            Tfrm_SQL w;
            w.show();
            w.Memo1->setText("SELECT * FROM ugyfel ORDER BY Ugyfel_nev");
            console.push_back(timed([&] {
                w.aFuttat->trigger();
                w.DBGrid1->repaint();
            }));
            if (w.Qry->recordCount() != kCustomers) throw std::runtime_error("the console showed too few rows");
        }
    }
    std::printf("%d ügyfél, minden mező; %d kör\n", kCustomers, rounds);
    report("határolt szöveg export (minden mező)", delimited, 3000);
    std::printf("  %lld bájt; a folyamatjelző %d alkalommal lépett\n", csvBytes, progressMoves);
    report("HTML export (a rács minden oszlopa)", html, 5000);
    std::printf("  %lld bájt\n", htmlBytes);
    report("SQL konzol: SELECT a rácsban kirajzolva", console, 1000);
    setInteraction(nullptr);
    return 0;
}
