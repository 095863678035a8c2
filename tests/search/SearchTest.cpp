// The text search over the current tab's list and the keyword search over
// the four tables, with the jump to a found row.
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "SearchFixture.h"
#include "app/search/Keres.h"
#include "app/search/KulcsszoKeres.h"
#include "tests/support/Screenshots.h"

namespace {

// One opening of the search window: `steps` presses of "Keres", each with
// its text and direction (-1: as the window shows it); returns the
// directions shown after each press.
QList<int> searchSteps(Tfrm_Main& main, ScriptedInteraction& user, const QList<std::pair<QString, int>>& steps)
{
    QList<int> shown;
    user.onModal("frm_Keres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_Keres&>(d);
        for (const auto& [text, direction] : steps) {
            k.Edit1->setText(text);
            if (direction >= 0) k.setDirection(direction);
            k.Button1->click();
            shown << k.direction();
        }
        k.Button2->click();
    });
    main.aKeresReszletes->trigger();
    return shown;
}

}  // namespace

TEST_F(SearchTest, TextSearchWalksBothWaysAndSaysWhereItEnded)
{
    for (const char* n : {"Antal", "Minta Bt.", "Bodnár", "Cseh", "Aminta Kft.", "Zala"}) add("ugyfel", {{"Ugyfel_nev", n}});
    start();
    w->setTabIndex(1);
    auto name = [this] { return current(1, "Ugyfel_nev").toString(); };

    // From the top: the first match, and the direction goes on downwards;
    // upper case finds lower case. The next press finds the next one.
    EXPECT_EQ(searchSteps(*w, user, {{"MINTA", Tfrm_Keres::FromTop}}), QList<int>{Tfrm_Keres::Down});
    EXPECT_EQ(name(), "Aminta Kft.");
    EXPECT_TRUE(user.messages().empty());
    searchSteps(*w, user, {{"minta", Tfrm_Keres::Down}});
    EXPECT_EQ(name(), "Minta Bt.");
    // Past the last match: the message, and the list stands on its last row.
    searchSteps(*w, user, {{"minta", Tfrm_Keres::Down}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});
    EXPECT_EQ(name(), "Zala");
    // Upwards from the last row finds the nearest match above.
    user.asked.clear();
    searchSteps(*w, user, {{"minta", Tfrm_Keres::Up}});
    EXPECT_EQ(name(), "Minta Bt.");
    EXPECT_TRUE(user.messages().empty());

    // On the first row upwards, on the last row downwards: the message at once.
    w->Qry->first();
    searchSteps(*w, user, {{"antal", Tfrm_Keres::Up}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});
    EXPECT_EQ(name(), "Aminta Kft.");
    user.asked.clear();
    w->Qry->last();
    searchSteps(*w, user, {{"zala", Tfrm_Keres::Down}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});

    // ";" stands before every value: ";b" only at the start of one.
    user.asked.clear();
    searchSteps(*w, user, {{";bod", Tfrm_Keres::FromTop}, {";bt", Tfrm_Keres::FromTop}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});

    // An empty text is refused and nothing moves.
    w->Qry->first();
    user.asked.clear();
    searchSteps(*w, user, {{"", Tfrm_Keres::FromTop}});
    EXPECT_EQ(user.errors(), QStringList{"Add meg a keresendő szöveget!"});
    EXPECT_EQ(name(), "Aminta Kft.");
}

TEST_F(SearchTest, TextSearchMatchesPlainValuesAndOnlyTheRowsTheFilterShows)
{
    int last = 0;
    for (int i = 1; i <= 45; ++i)
        last = add("feladat", {{"rovid", QString("feladat %1").arg(i)}, {"lezarva", i == 41 ? "I" : "N"}});
    ASSERT_EQ(last, 45);
    add("feladat", {{"rovid", "Árvíztűrő tükörfúrógép"}, {"lezarva", "N"}, {"dat_hatid", QDate(2024, 3, 7)}});
    start();
    w->setTabIndex(2);

    // Task 42 shows as 00042 but is found by its plain value only.
    searchSteps(*w, user, {{"00042", Tfrm_Keres::FromTop}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});
    user.asked.clear();
    searchSteps(*w, user, {{";42;", Tfrm_Keres::FromTop}});
    EXPECT_EQ(current(2, "feladat").toInt(), 42);
    // Accented capitals, and a date in its short form.
    searchSteps(*w, user, {{"TÜKÖRFÚRÓ", Tfrm_Keres::FromTop}});
    EXPECT_EQ(current(2, "feladat").toInt(), 46);
    w->QryFeladat->first();
    searchSteps(*w, user, {{QLocale(QLocale::Hungarian).toString(QDate(2024, 3, 7), QLocale::ShortFormat), Tfrm_Keres::FromTop}});
    EXPECT_EQ(current(2, "feladat").toInt(), 46);
    EXPECT_TRUE(user.messages().empty());

    // The closed task 41 is not in the unfinished list.
    searchSteps(*w, user, {{";feladat 41;", Tfrm_Keres::FromTop}});
    EXPECT_EQ(user.messages(), QStringList{"A keresés elérte a tartomány elejét/végét."});
}

TEST_F(SearchTest, KeywordSearchFindsEveryTableLetterCaseAsideAndJumpsToTheRow)
{
    const int web = add("ceg", {{"ceg_nev", "Webshop Kft."}, {"kulcsszavak", "Webáruház, szerviz"}});
    add("ceg", {{"ceg_nev", "Üres Bt."}});
    add("ceg", {{"ceg_nev", "Más Bt."}, {"kulcsszavak", "nyomda"}});
    add("termek", {{"cikkszam", "W-1"}, {"cikkszam_nev", "Webkamera"}, {"kulcsszavak", "WEB"}});
    const int erno = add("ugyfel", {{"Ugyfel_nev", "Ernő"}, {"kulcsszavak", "ÁRVÍZTŰRŐ ügyfél"}});
    add("ugyfel", {{"Ugyfel_nev", "Ödön"}, {"kulcsszavak", "web"}});
    add("feladat", {{"rovid", "árvíz"}, {"kulcsszavak", "árvíztűrő"}, {"lezarva", "N"}});
    start();

    // "web": the company and the product, and a customer; never a blank keyword field.
    int counts[4] = {};
    QString keyword;
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        counts[0] = k.Qry4->recordCount();
        counts[1] = k.Qry1->recordCount();
        counts[2] = k.Qry2->recordCount();
        counts[3] = k.Qry3->recordCount();
        EXPECT_EQ(k.PageControl1->currentIndex(), 0);
        keyword = k.currentKeyword();
        k.aElfogad->trigger();
    });
    answerText("web");
    w->aKulcsszoKeres->trigger();
    EXPECT_EQ(QList<int>(counts, counts + 4), (QList<int>{1, 1, 0, 1}));
    EXPECT_EQ(keyword, "web");
    EXPECT_EQ(w->tabIndex(), 0);
    EXPECT_EQ(current(0, "ceg").toInt(), web);

    // Accented small letters find accented capitals, as the SQL's UPPER does;
    // F3 searches with the typed keyword, Enter in the box jumps.
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        // The input box's window gives the keyboard back to the main window
        // first; then this one takes it, as a shown modal window does.
        QTest::qWait(50);
        k.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&k, 3000));
        ASSERT_EQ(QApplication::activeWindow(), &k);
        k.Edit1->setText("árvíztűrő");
        k.Edit1->setFocus();
        QTest::keyClick(&k, Qt::Key_F3);
        counts[1] = k.Qry1->recordCount();
        counts[2] = k.Qry2->recordCount();
        keyword = k.currentKeyword();
        k.PageControl1->setCurrentIndex(1);
        QTest::keyClick(k.Edit1, Qt::Key_Return);
    });
    answerText("nincs ilyen");
    w->aKulcsszoKeres->trigger();
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(counts[2], 1);
    EXPECT_EQ(keyword, "árvíztűrő");
    EXPECT_EQ(w->tabIndex(), 1);
    EXPECT_EQ(current(1, "ugyfel").toInt(), erno);

    // An empty keyword lists every row with any keyword; a closed window
    // leaves the main window where it was.
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        counts[0] = k.Qry4->recordCount();
        k.aMegsem->trigger();
    });
    answerText("");
    w->aKulcsszoKeres->trigger();
    EXPECT_EQ(counts[0], 2);
    EXPECT_EQ(w->tabIndex(), 1);
}

TEST_F(SearchTest, KeywordOutsideWindows1250IsRefusedWithAMessage)
{
    add("ceg", {{"ceg_nev", "Alfa"}, {"kulcsszavak", "alfa"}});
    start();
    answerText("alfa ☃");
    w->aKulcsszoKeres->trigger();
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].contains("Windows-1250")) << user.errors()[0].toStdString();
    EXPECT_TRUE(user.errors()[0].endsWith("☃"));
    EXPECT_TRUE(user.ofKind("modal").size() == 1u);  // only the keyword's input

    // In the window, a refused keyword keeps the pages and the keyword.
    user.asked.clear();
    int shown = -1;
    QString keyword;
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        k.Edit1->setText("α");
        k.aKeres->trigger();
        shown = k.Qry4->recordCount();
        keyword = k.currentKeyword();
        k.reject();
    });
    answerText("ALFA");
    w->aKulcsszoKeres->trigger();
    EXPECT_EQ(user.errors().size(), 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(keyword, "ALFA");
}

// Not a check: with NYILVEX_SCREENSHOTS naming a folder, saves a picture of
// each search window over the sample database, to look at.
TEST(SearchScreenshots, EachWindowOnTheSampleDatabase)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) GTEST_SKIP() << "NYILVEX_SCREENSHOTS not set";
    TempHome home;
    BuildSampleWithoutLogin(home.programFolder() + "/Data");
    ScriptedInteraction user;
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp());
    Beall.fullScreen = false;
    w.show();
    auto shoot = [&folder](QWidget& window, const QString& name) { SaveShot(window, folder, name); };
    w.setTabIndex(1);
    user.onModal("frm_Keres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_Keres&>(d);
        k.Edit1->setText("kft");
        k.Button1->click();
        shoot(w, "keres_main");
        shoot(d, "keres");
        d.reject();
    });
    w.aKeresReszletes->trigger();
    user.onModal("frm_KulcsszoKeres", [&](QDialog& d) {
        auto& k = static_cast<Tfrm_KulcsszoKeres&>(d);
        shoot(d, "kulcsszo0");
        k.PageControl1->setCurrentIndex(1);
        shoot(d, "kulcsszo1");
        d.reject();
    });
    user.onModal("frm_InpStr", [](QDialog& d) {
        d.findChild<QLineEdit*>("Edit1")->setText("r");
        d.accept();
    });
    w.aKulcsszoKeres->trigger();
    // A customer with an unfinished task.
    w.setTabIndex(2);
    const QVariant owner = w.QryFeladat->fieldByName("ugyfel")->value();
    w.setTabIndex(1);
    w.Qry->locate("ugyfel", owner);
    user.onModal("frm_FeladatBongeszo", [&](QDialog& d) {
        shoot(d, "feladatbongeszo");
        d.reject();
    });
    w.aFeladatBongeszo->trigger();
    user.onModal("frm_Szur", [&](QDialog& d) {
        shoot(d, "szur");
        d.reject();
    });
    w.aSzur->trigger();
    w.setTabIndex(2);
    w.aSzurF->trigger();
    user.onModal("frm_SzurF", [&](QDialog& d) {
        shoot(d, "szurf");
        d.reject();
    });
    w.aSzurF->trigger();
}

TEST_F(SearchTest, RowTextSearchOverALongListFindsTheSameRowsNearAndFar)
{
    // Far rows are found column by column, near ones row by row: both ways
    // must agree, in the list's order, under a filter, both directions.
    {
        TableDataSet t(conn.get());
        t.setTableName("ugyfel.DB");
        t.open();
        for (int i = 0; i < 3000; ++i) {
            t.append();
            t.fieldByName("Ugyfel_nev")->setValue(QString("Ügyfél %1").arg(2999 - i, 4, 10, QChar('0')));
            t.fieldByName("honap")->setValue(i % 2 ? 1 : 2);
            if (i == 11 || i == 2991) t.fieldByName("Mobil")->setValue("+36 30 ÁRVÍZ");
            t.post();
        }
        t.flushBuffers();
    }
    QueryDataSet q(conn.get());
    q.setSql({"SELECT * FROM ugyfel", "ORDER BY Ugyfel_nev;"});
    q.open();
    ASSERT_EQ(q.recordCount(), 3000);
    auto name = [&q](int row) { return q.valueAt(row, q.fieldByName("Ugyfel_nev")->index()).toString(); };
    // Stored as the 12th and the 2992nd, shown as rows 2988 and 8.
    EXPECT_EQ(q.findRowText("árvíz", 0, 1), 8);
    EXPECT_EQ(q.findRowText("árvíz", 9, 1), 2988);
    EXPECT_EQ(q.findRowText("árvíz", 2999, -1), 2988);
    EXPECT_EQ(q.findRowText("árvíz", 2987, -1), 8);
    EXPECT_EQ(q.findRowText("árvíz", 2989, 1), -1);
    // Across two values, far from the start.
    EXPECT_EQ(name(q.findRowText("ügyfél 2500;;", 0, 1)), "Ügyfél 2500");
    EXPECT_EQ(q.findRowText("nincs", 0, 1), -1);
    EXPECT_EQ(q.findRowText("ÿ☃", 0, 1), -1);
    EXPECT_EQ(q.recNo(), 1);  // the current row never moved

    q.setFilter("honap=1");
    q.setFiltered(true);
    ASSERT_EQ(q.recordCount(), 1500);
    EXPECT_EQ(name(q.findRowText("ügyfél 0008", 0, 1)), "Ügyfél 0008");
    EXPECT_EQ(q.findRowText("ügyfél 0007", 0, 1), -1);  // stored 2992nd: filtered out
    EXPECT_EQ(name(q.findRowText("árvíz", 1499, -1)), "Ügyfél 2988");
}
