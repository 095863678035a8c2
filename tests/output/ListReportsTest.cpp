// The other list reports as their reader sees them: customers by company
// with group headers, the detailed customer list, the task lists over the
// main window's list, the product list in its order, and the notes and
// notifications of a record with its block and long texts.
#include <QRegularExpression>

#include "ReportFixture.h"
#include "app/output/Lists.h"
#include "app/output/rptErtesites.h"
#include "app/output/rptFeladat.h"
#include "app/output/rptFeladatReszl.h"
#include "app/output/rptFeladatReszl2.h"
#include "app/output/rptMegjegyzes.h"
#include "app/output/rptTermek.h"
#include "app/output/rptUgyfelCeg.h"
#include "app/output/rptUgyfelReszl.h"

namespace {

// The positions of `names` in `text`, in order: true when each is found
// after the one before.
bool InOrder(const QString& text, const QStringList& names)
{
    int at = -1;
    for (const QString& n : names) {
        const int next = text.indexOf(n, at + 1);
        if (next < 0 || next <= at) return false;
        at = next;
    }
    return true;
}

QString Joined(const QStringList& pages) { return pages.join("\f"); }

class ListReportsTest : public ReportTest {};

TEST_F(ListReportsTest, CustomersByCompanyGroupEachCompanyOnceEvenWhenNamesRepeat)
{
    setOwner();
    const int first = add("ceg", {{"ceg_nev", "Alfa Kft."}, {"cim_varos", "Győr"}, {"telefon", "96/111-111"}});
    const int twin1 = add("ceg", {{"ceg_nev", "Béta Bt."}, {"cim_varos", "Pécs"}});
    const int twin2 = add("ceg", {{"ceg_nev", "Béta Bt."}, {"cim_varos", "Eger"}});
    add("ugyfel", {{"ugyfel_nev", "Zita"}, {"ceg", twin1}});
    add("ugyfel", {{"ugyfel_nev", "Anna"}, {"ceg", twin2}});
    add("ugyfel", {{"ugyfel_nev", "Bence"}, {"ceg", twin1}});
    add("ugyfel", {{"ugyfel_nev", "Csaba"}, {"ceg", first}, {"dat_figy", QDate(2026, 3, 4)},
                   {"figy_szoveg", "Hívd vissza"}});

    PrintCustomersByCompany(-1, false);

    ASSERT_EQ(pages.size(), 1);
    const QString text = pageText(0);
    EXPECT_TRUE(text.contains("Ügyfelek listája cégek szerint"));
    EXPECT_TRUE(text.contains("qrUgyfelCeg"));
    // No order subtitle: "szerint" only in the heading and the footer's title.
    EXPECT_EQ(CountContaining(page(0), "szerint"), 2);
    EXPECT_EQ(text.count("Béta Bt."), 2);
    EXPECT_EQ(text.count("Alfa Kft."), 1);
    EXPECT_TRUE(text.contains("96/111-111"));
    EXPECT_TRUE(text.contains(QRegularExpression("figyelmeztetés\\s+" + QRegularExpression::escape(Shown(QDate(2026, 3, 4))) +
                                                  "\\s+Hívd vissza")));
    // Each company's customers directly under its own header.
    EXPECT_TRUE(InOrder(text, {"Alfa Kft.", "Csaba", "Béta Bt.", "Pécs", "Bence", "Zita", "Béta Bt.", "Eger", "Anna"}));
}

TEST_F(ListReportsTest, OneCompanyWithoutCustomersPrintsOnlyHeaderAndFooter)
{
    const int empty = add("ceg", {{"ceg_nev", "Üres Kft."}});
    const int other = add("ceg", {{"ceg_nev", "Másik Kft."}});
    add("ugyfel", {{"ugyfel_nev", "Valaki"}, {"ceg", other}});

    PrintCustomersByCompany(empty, false);

    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(pageText(0).contains("Valaki"));
    EXPECT_FALSE(pageText(0).contains("Másik Kft."));
    EXPECT_TRUE(pageText(0).contains("oldal: 1"));

    PrintCustomersByCompany(other, false);
    EXPECT_TRUE(pageText(0).contains("Valaki"));
}

TEST_F(ListReportsTest, DetailedCustomerListPrintsEveryLineAndTheWholeNote)
{
    setOwner();
    add("ugyfel", {{"ugyfel_nev", "Kis Ilona"},
                   {"emil1", "ilona@pelda.hu"},
                   {"emil2", "kis@pelda.hu"},
                   {"honlap", "www.ilona.hu"},
                   {"kapcsolat", "Nagy Péter"},
                   {"megjegyzes", QString("Első sor.\n") + QString("hosszú szöveg ").repeated(40) + "VÉGE"}});
    add("ugyfel", {{"ugyfel_nev", "Ács Ödön"}});
    QueryDataSet list(db.get());
    lists::SetupCustomerQuery(&list);
    list.reopenWithLastLine("ORDER BY ugyfel_nev;");
    list.last();

    PrintCustomerDetails(list, false, "ügyfél szerint", false);

    const QString text = Joined(pages);
    for (const char* s : {"Ügyfelek listája (részletes)", "qrUgyfelReszl", "telefonok", "E-Mail címek/honlap",
                          "ilona@pelda.hu", "kis@pelda.hu", "www.ilona.hu", "kapcsolat", "Nagy Péter", "üzletkötő",
                          "figyelmeztetés", "Első sor.", "VÉGE"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(InOrder(text, {"Ács Ödön", "Kis Ilona", "Első sor.", "VÉGE"}));
    EXPECT_FALSE(text.contains("Szűrt adatok"));
    // Read straight from the list, which stays on the row the user left it.
    EXPECT_EQ(list.recNo(), 2);
}

class TaskReportsTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        setOwner();
        const int customer = add("ugyfel", {{"ugyfel_nev", "Megrendelő Márta"}});
        const int product = add("termek", {{"cikkszam", "A-1"}, {"cikkszam_nev", "Nyomtató"}});
        const int urgent = add("prioritas", {{"prioritas", 70}, {"prioritas_nev", "Sürgős"}});
        add("feladat", {{"rovid", "Első feladat"}, {"lezarva", "N"}, {"ugyfel", customer}, {"termek", product},
                        {"prioritas", urgent}, {"dat_beerk", QDate(2026, 1, 5)}, {"dat_hatid", QDate(2026, 2, 1)},
                        {"leiras", "Részletes leírás az első feladathoz."}});
        add("feladat", {{"rovid", "Lezárt munka"}, {"lezarva", "I"}, {"dat_lezar", QDate(2026, 1, 9)}});
        add("feladat", {{"rovid", "Harmadik feladat"}, {"lezarva", "N"}});
        tasks = std::make_unique<QueryDataSet>(db.get());
        lists::SetupTaskQuery(tasks.get());
        tasks->reopenWithLastLine("ORDER BY feladat;");
    }
    std::unique_ptr<QueryDataSet> tasks;
};

TEST_F(TaskReportsTest, TaskListHoldsExactlyTheListsRowsInItsOrder)
{
    PrintTaskList(*tasks, true, "id szerint", false);

    const QString text = pageText(0);
    for (const char* s : {"Feladatok listája", "qrFeladat", "id szerint", "Szűrt adatok", "rövid leírás",
                          "beérkezett", "határidő", "lezárás", "prioritás", "állapot", "típus", "Megrendelő Márta",
                          "Nyomtató", "Sürgős"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(InOrder(text, {Shown(QDate(2026, 1, 5)), Shown(QDate(2026, 2, 1))}));
    EXPECT_TRUE(InOrder(text, {"Első feladat", "Harmadik feladat"}));
    EXPECT_FALSE(text.contains("Lezárt munka"));
    EXPECT_FALSE(text.contains("Részletes leírás"));

    // The filter off: every task, in the list's new order.
    tasks->setFiltered(false);
    tasks->reopenWithLastLine("ORDER BY rovid, feladat.feladat;");
    PrintTaskList(*tasks, false, "rövid leírás szerint", false);
    const QString all = pageText(0);
    EXPECT_TRUE(InOrder(all, {"Első feladat", "Harmadik feladat", "Lezárt munka"}));
    EXPECT_TRUE(all.contains(Shown(QDate(2026, 1, 9))));
    EXPECT_FALSE(all.contains("Szűrt adatok"));
}

TEST_F(TaskReportsTest, DetailedTaskListsPrintTheDescription)
{
    PrintTaskDetails(*tasks, true, "id szerint", false);
    EXPECT_TRUE(pageText(0).contains("qrFeladatReszl"));
    EXPECT_TRUE(pageText(0).contains(QRegularExpression("leírás\\s+Részletes leírás az első feladathoz\\.")));

    // The task browser's own query: first subtitle only.
    PrintTaskDetailsOf(*tasks, "Ügyfél: Megrendelő Márta", false);
    const QString text = pageText(0);
    EXPECT_TRUE(text.contains("qrFeladatReszl2"));
    EXPECT_TRUE(text.contains("Ügyfél: Megrendelő Márta"));
    EXPECT_FALSE(text.contains("Szűrt adatok"));
    EXPECT_TRUE(text.contains("Részletes leírás az első feladathoz."));
    EXPECT_FALSE(text.contains("Lezárt munka"));
}

TEST_F(ListReportsTest, ProductListFollowsTheListsOrderAndFilter)
{
    setOwner();
    add("termek", {{"cikkszam", "C-3"}, {"cikkszam_nev", "Asztal"}, {"kategoria", "bútor"}});
    add("termek", {{"cikkszam", "A-1"}, {"cikkszam_nev", "Szék"}, {"kategoria", "bútor"}, {"kulcsszavak", "iroda"}});
    add("termek", {{"cikkszam", "B-2"}, {"cikkszam_nev", "Lámpa"}, {"kategoria", "világítás"}});
    TableDataSet products(db.get());
    lists::SetupProductTable(&products);
    products.setIndexFieldNames("cikkszam");
    products.open();

    PrintProductList(products, false);
    const QString text = pageText(0);
    for (const char* s : {"Termékek listája", "qrTermek", "termék", "kategória", "kulcsszavak", "cikkszám", "iroda"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(InOrder(text, {"Szék", "Lámpa", "Asztal"}));

    products.setIndexFieldNames("cikkszam_nev");
    products.setFilter("kategoria='bútor'");
    products.setFiltered(true);
    PrintProductList(products, false);
    EXPECT_TRUE(InOrder(pageText(0), {"Asztal", "Szék"}));
    EXPECT_FALSE(pageText(0).contains("Lámpa"));
}

class NotesReportTest : public ReportTest {
protected:
    int note(int owner, int kind, const QDate& date, const QString& title, const QString& text = {})
    {
        return add("ugyf_megj",
                   {{"ugyfel", owner}, {"tipus", kind}, {"datum", date}, {"rovid", title}, {"megjegyzes", text}});
    }
};

TEST_F(NotesReportTest, CustomerNotesStartWithItsBlockNewestFirstAndOnlyItsOwn)
{
    setOwner();
    const int company = add("ceg", {{"ceg_nev", "Kék Kft."}});
    const int customer = add("ugyfel", {{"ugyfel_nev", "Tóth Tímea"}, {"mobil", "20/333-4444"},
                                        {"cim_irsz", "1111"}, {"cim_varos", "Budapest"}, {"ceg", company}});
    note(customer, 0, QDate(2025, 5, 1), "Régi", "régi szöveg");
    note(customer, 0, QDate(2026, 2, 1), "Újabb", "újabb szöveg");
    note(customer, 0, QDate(2026, 3, 1), "Cím nélküli szöveg nélkül");
    note(customer, 1, QDate(2026, 4, 1), "A feladaté");

    PrintNotes(customer, 0, false);

    const QString text = pageText(0);
    EXPECT_TRUE(text.contains("Megjegyzések"));
    EXPECT_TRUE(text.contains("qrMegjegyzes"));
    EXPECT_TRUE(InOrder(text, {"Tóth Tímea", "20/333-4444", "Budapest", "Kék Kft.", Shown(QDate(2026, 3, 1)),
                               "Cím nélküli szöveg nélkül", Shown(QDate(2026, 2, 1)), "Újabb", "újabb szöveg", Shown(QDate(2025, 5, 1)),
                               "Régi", "régi szöveg"}));
    EXPECT_FALSE(text.contains("A feladaté"));
}

TEST_F(NotesReportTest, CompanyNotesHaveNoBlockAndALongNoteGoesOnOverPages)
{
    const int company = add("ceg", {{"ceg_nev", "Cégnév Zrt."}});
    QStringList lines;
    for (int i = 1; i <= 150; ++i) lines << QString("Sor %1 a hosszú megjegyzésben").arg(i, 3, 10, QLatin1Char('0'));
    note(company, 3, QDate(2026, 1, 2), "Hosszú", lines.join("\n"));
    note(company, 3, QDate(2026, 1, 1), "Utána");

    PrintNotes(company, 3, false);

    ASSERT_GE(pages.size(), 3);
    EXPECT_FALSE(Joined(pages).contains("Cégnév Zrt."));
    QStringList seen;
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pageText(p).contains(QString("oldal: %1").arg(p + 1)));
        EXPECT_EQ(CountContaining(page(p), "Megjegyzések"), 2) << "page " << p + 1;
        for (const QString& l : page(p)) {
            const auto m = QRegularExpression("Sor (\\d{3}) a hosszú").match(l);
            if (m.hasMatch()) seen << m.captured(1);
        }
    }
    ASSERT_EQ(seen.size(), 150);
    for (int i = 0; i < 150; ++i) EXPECT_EQ(seen[i].toInt(), i + 1);
    EXPECT_TRUE(InOrder(Joined(pages), {"Hosszú", "Sor 150", "Utána"}));
}

TEST_F(NotesReportTest, NotificationsOfATaskStartWithTheTaskBlock)
{
    const int customer = add("ugyfel", {{"ugyfel_nev", "Vevő Viktor"}});
    const int high = add("prioritas", {{"prioritas", 71}, {"prioritas_nev", "Magas"}});
    const int task = add("feladat", {{"rovid", "Szerviz"}, {"lezarva", "I"}, {"prioritas", high},
                                     {"ugyfel", customer}});
    add("ugyf_ertesit", {{"ugyfel", task}, {"tipus", 1}, {"datum", QDate(2026, 1, 3)}, {"rovid", "Levél ment"}});
    add("ugyf_ertesit", {{"ugyfel", task}, {"tipus", 1}, {"datum", QDate(2026, 1, 7)}, {"rovid", "Telefon"}});
    add("ugyf_ertesit", {{"ugyfel", task}, {"tipus", 0}, {"datum", QDate(2026, 1, 8)}, {"rovid", "Másé"}});

    PrintNotifications(task, 1, false);

    const QString text = pageText(0);
    EXPECT_TRUE(text.contains("Értesítések"));
    EXPECT_TRUE(text.contains("qrErtesites"));
    EXPECT_TRUE(InOrder(text, {"Magas", "Szerviz", "Vevő Viktor", Shown(QDate(2026, 1, 7)), "Telefon", Shown(QDate(2026, 1, 3)),
                               "Levél ment"}));
    EXPECT_FALSE(text.contains("Másé"));
}

}  // namespace
