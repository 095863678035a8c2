#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QTest>

#include "RecordsFixture.h"
#include "app/output/TorzsCimke.h"
#include "app/records/Megj.h"
#include "app/records/Cikkszam_valaszt.h"
#include "app/records/Termek_Szerkeszt.h"
#include "app/records/TorzsCeg.h"
#include "app/records/TorzsCeg_Szerkeszt.h"
#include "app/records/Ugyfel_valaszt.h"
#include "engine/Database.h"
#include "tests/support/ScriptedInteraction.h"
#include "widgets/DBGrid.h"

namespace {

class CompaniesAndPickersTest : public RecordsTest {
protected:
    static QString current(QDialog& d, const char* field)
    {
        return static_cast<ListWindow&>(d).Tbl->fieldByName(field)->asString();
    }
    static DBGrid* grid(QDialog& d) { return d.findChild<DBGrid*>("DBGrid1"); }

    // The main window's company table, as the editor gets it.
    void openCompanies(TableDataSet& t)
    {
        t.setTableName("ceg.DB");
        t.setIndexName("idx_ceg_nev");
        t.open();
    }
};

}  // namespace

TEST_F(CompaniesAndPickersTest, CompanyListPicksInPickModeOnlyAndSearches)
{
    const int alfa = addRow("ceg", {{"ceg_nev", "Alfa Kft."}});
    const int magyar = addRow("ceg", {{"ceg_nev", "Magyar Posta"}});
    addRow("ceg", {{"ceg_nev", "Ács és Társa"}});
    ScriptedInteraction user;
    user.onModal("frm_TorzsCeg", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Cégek");
        EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isVisible());
        QTest::keyClick(grid(d), Qt::Key_Return);
        emit grid(d)->doubleClicked(grid(d)->model()->index(0, 0));
        EXPECT_TRUE(d.isVisible());
        trigger(d, "aBezar");
    });
    EXPECT_EQ(ShowCompanyList(-1, false), -1);

    user.onModal("frm_TorzsCeg", [](QDialog& d) {
        EXPECT_EQ(current(d, "ceg_nev"), "Alfa Kft.");
        EXPECT_EQ(d.focusWidget(), box(d, "Edit1"));
        QTest::keyClicks(box(d, "Edit1"), "MA");
        EXPECT_EQ(current(d, "ceg_nev"), "Magyar Posta");
        QTest::keyClicks(box(d, "Edit1"), "q");
        EXPECT_EQ(current(d, "ceg_nev"), "Magyar Posta");
        QTest::keyClick(box(d, "Edit1"), Qt::Key_Return);
    });
    QString name;
    EXPECT_EQ(ShowCompanyListWithName(alfa, true, name), magyar);
    EXPECT_EQ(name, "Magyar Posta");
}

TEST_F(CompaniesAndPickersTest, CompanyEditorStoresFillsTheSiteCityAndKeepsATypedCity)
{
    Beall.defaultCity = "Budapest";
    TableDataSet companies(&conn);
    openCompanies(companies);
    ScriptedInteraction user;
    user.onModal("frm_TorzsCeg_Szerkeszt", [](QDialog& d) {
        // Leaving a box is a focus change, which needs the window active.
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        EXPECT_EQ(d.windowTitle(), "Cég szerkesztés");
        typeInto(box(d, "DBEdit1"), "Zeta Zrt.");
        typeInto(box(d, "DBEdit4"), "Vác");
        typeInto(box(d, "DBEdit3"), "6720");
        box(d, "DBEdit5")->setFocus();  // leaving the head-office code: the typed city stays
        typeInto(box(d, "DBEdit7"), "Budapest");
        typeInto(box(d, "DBEdit6"), "2600");
        box(d, "DBEdit8")->setFocus();  // the default city gives way to the code's city
        EXPECT_EQ(box(d, "DBEdit7")->text(), "Vác");
        typeInto(box(d, "DBEdit9"), "+36 1 234 5678");
        click(d, "btnOK");
    });
    EditCompany(companies, true);
    EXPECT_FALSE(companies.isEditing());
    EXPECT_EQ(companies.fieldByName("ceg_nev")->asString(), "Zeta Zrt.");
    EXPECT_EQ(rows("ceg", {"ceg_nev", "cim_irsz", "cim_varos", "tel_irsz", "tel_varos", "telefon"}),
              QStringList{"Zeta Zrt.|6720|Vác|2600|Vác|+36 1 234 5678"});

    // An empty site city is filled too; an unknown code leaves the city empty.
    user.onModal("frm_TorzsCeg_Szerkeszt", [](QDialog& d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        typeInto(box(d, "DBEdit6"), "6720");
        box(d, "DBEdit8")->setFocus();
        typeInto(box(d, "DBEdit3"), "0000");
        typeInto(box(d, "DBEdit4"), "");
        box(d, "DBEdit5")->setFocus();
        click(d, "btnOK");
    });
    companies.edit();
    companies.fieldByName("tel_varos")->clear();
    companies.post();
    EditCompany(companies, false);
    EXPECT_EQ(rows("ceg", {"cim_irsz", "cim_varos", "tel_irsz", "tel_varos"}), QStringList{"0000||6720|Szeged"});
}

TEST_F(CompaniesAndPickersTest, ARefusedCompanyKeepsTheInputAndAGoneCompanyIsReported)
{
    const int key = addRow("ceg", {{"ceg_nev", "Alfa Kft."}});
    TableDataSet companies(&conn);
    openCompanies(companies);
    // Another program holds the company table's write lock.
    auto other = engine::Database::open(dbFolder().toStdString());
    ASSERT_TRUE(other.isOk());
    auto held = (*other)->openTable("ceg", engine::OpenMode::Shared);
    ASSERT_TRUE(held.isOk());
    ASSERT_TRUE((*held)->begin().isOk());

    ScriptedInteraction user;
    user.onModal("frm_TorzsCeg_Szerkeszt", [&](QDialog& d) {
        typeInto(box(d, "DBEdit1"), "Alfa Nyrt.");
        click(d, "btnOK");
        ASSERT_TRUE(d.isVisible());
        EXPECT_EQ(box(d, "DBEdit1")->text(), "Alfa Nyrt.");
        ASSERT_TRUE((*held)->rollback().isOk());
        click(d, "btnOK");
    });
    EditCompany(companies, false);
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors().front().startsWith("Hiányos, vagy hibás adatmegadás\n"));
    EXPECT_EQ(rows("ceg", {"ceg_nev"}), QStringList{"Alfa Nyrt."});
    EXPECT_FALSE(companies.isEditing());

    // Deleted by another program while the list showed it.
    auto rowId = (*held)->findKey({engine::Value::fromInt(key)});
    ASSERT_TRUE(rowId.isOk() && rowId->has_value());
    ASSERT_TRUE((*held)->remove(**rowId).isOk());
    EditCompany(companies, false);
    ASSERT_EQ(user.errors().size(), 2);
    EXPECT_TRUE(user.errors().back().startsWith("Hiba: "));
    EXPECT_FALSE(companies.isEditing());
}

TEST_F(CompaniesAndPickersTest, ProductCodesAreUpperCasedAndAnEmptyListEditsANewProduct)
{
    TableDataSet products(&conn);
    products.setTableName("termek.DB");
    products.setIndexName("idx_cikkszam");
    products.open();
    ScriptedInteraction user;
    user.onModal("frm_Termek_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Termék szerkesztés");
        typeInto(box(d, "DBEdit1"), "x");
        d.reject();
    });
    user.onModal("frm_Termek_Szerkeszt", [](QDialog& d) {
        QLineEdit* code = box(d, "DBEdit1");
        code->setFocus();
        QTest::keyClicks(code, "abc");
        EXPECT_EQ(code->text(), "ABC");
        QApplication::clipboard()->setText("-őzü");
        code->paste();
        typeInto(box(d, "DBEdit2"), "nyomtató");
        click(d, "Button1");
    });
    EditProduct(products, false);  // cancelled: nothing stored
    EXPECT_TRUE(rows("termek", {"cikkszam"}).isEmpty());
    EditProduct(products, false);
    EXPECT_EQ(rows("termek", {"cikkszam", "cikkszam_nev"}), QStringList{"ABC-ŐZÜ|nyomtató"});
}

TEST_F(CompaniesAndPickersTest, CustomerPickerSearchesKeepsTheRowOnClearAndGivesTheName)
{
    addRow("ugyfel", {{"Ugyfel_nev", "Kovács Ádám"}});
    const int mate = addRow("ugyfel", {{"Ugyfel_nev", "Máté Mária"}});
    const int marton = addRow("ugyfel", {{"Ugyfel_nev", "Márton Béla"}});
    addRow("ugyfel", {{"Ugyfel_nev", "Madár Zsolt"}});
    ScriptedInteraction user;
    user.onModal("frm_Ugyfel_valaszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Ügyfél választás");
        EXPECT_EQ(current(d, "Ugyfel_nev"), "Kovács Ádám");
        QLineEdit* search = box(d, "Edit1");
        search->insert("MÁR");
        EXPECT_EQ(current(d, "Ugyfel_nev"), "Márton Béla");
        search->clear();
        EXPECT_EQ(current(d, "Ugyfel_nev"), "Márton Béla");
        trigger(d, "aElfogad");
    });
    QString name = "régi";
    EXPECT_EQ(PickCustomerWithName(-1, name), marton);
    EXPECT_EQ(name, "Márton Béla");

    user.onModal("frm_Ugyfel_valaszt", [](QDialog& d) {
        EXPECT_EQ(current(d, "Ugyfel_nev"), "Máté Mária");
        trigger(d, "aBezar");
    });
    EXPECT_EQ(PickCustomerWithName(mate, name), -1);
    EXPECT_EQ(name, "Márton Béla");
}

TEST_F(CompaniesAndPickersTest, ProductPickerStandsOnTheKeyAndAnEmptyListGivesZero)
{
    ScriptedInteraction user;
    user.onModal("frm_Cikkszam_valaszt", [](QDialog& d) { trigger(d, "aElfogad"); });
    EXPECT_EQ(PickProduct(-1), 0);

    addRow("termek", {{"cikkszam", "B-2"}, {"cikkszam_nev", "Toner"}});
    const int a = addRow("termek", {{"cikkszam", "A-1"}, {"cikkszam_nev", "Papír"}});
    const int c = addRow("termek", {{"cikkszam", "C-3"}, {"cikkszam_nev", "Tinta"}});
    user.onModal("frm_Cikkszam_valaszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Termék választás");
        EXPECT_EQ(current(d, "cikkszam"), "C-3");
        emit grid(d)->doubleClicked(grid(d)->model()->index(0, 0));
    });
    QString name;
    EXPECT_EQ(PickProductWithName(c, name), c);
    EXPECT_EQ(name, "Tinta");
    user.onModal("frm_Cikkszam_valaszt", [](QDialog& d) {
        EXPECT_EQ(current(d, "cikkszam"), "A-1");
        d.reject();
    });
    EXPECT_EQ(PickProduct(12345), -1);
    (void)a;
}

TEST_F(CompaniesAndPickersTest, CustomerSearchFindsWhatAReadOfEveryRowFinds)
{
    // Accents, letter case and the digraphs (cs, gy, sz, ...) interleave in
    // the alphabet; the picker's search must land where a full read does.
    const QStringList names = {"Ábel Ákos", "Abigél",   "ábrahám",  "Csaba",   "Cz Cecil", "Cukor",  "Dénes",
                               "Magyar",    "Magzat",   "Mágus",    "MAROS",   "Molnár",   "Molnár Ő", "Ödön",
                               "Ozsvát",    "Őri",      "Szabó",    "Sz",      "Sándor",   "Zsolt",   "Zoltán"};
    for (const QString& n : names) addRow("ugyfel", {{"Ugyfel_nev", n}});
    TableDataSet reference(&conn);
    reference.setTableName("ugyfel.DB");
    reference.setIndexFieldNames("Ugyfel_nev");
    reference.open();
    const QStringList prefixes = {"a",  "á",  "ab", "áb", "c",     "cs", "cz",    "cu", "mag", "magy", "MÁ",
                                  "ma", "mo", "molnar", "molnár ő", "ö", "ő",     "o",  "s",   "sz",   "SZA",
                                  "z",  "zs", "x",  "ábrahámné", "d",  "dé", "é"};
    ScriptedInteraction user;
    user.onModal("frm_Ugyfel_valaszt", [&](QDialog& d) {
        QLineEdit* search = box(d, "Edit1");
        for (const QString& p : prefixes) {
            reference.first();
            d.findChild<DBGrid*>("DBGrid1")->dataSet()->first();
            const bool found = reference.locate("Ugyfel_nev", p, DataSet::CaseInsensitive | DataSet::PartialKey);
            search->clear();
            search->insert(p);
            EXPECT_EQ(current(d, "Ugyfel_nev"), found ? reference.fieldByName("Ugyfel_nev")->asString() : "Ábel Ákos")
                << p.toStdString();
        }
        d.reject();
    });
    PickCustomer(-1);
}

TEST_F(CompaniesAndPickersTest, CustomerPickerExportsItsCustomersAndGrid)
{
    addRow("ugyfel", {{"Ugyfel_nev", "Kovács Ádám"}, {"Cim_varos", "Eger"}});
    const QString csv = home.path() + "/ugyfelek.csv";
    const QString htm = home.path() + "/ugyfelek.htm";
    ScriptedInteraction user;
    user.onModal("frm_Hatarolt", [&csv](QDialog& d) {
        auto* name = d.findChild<QLineEdit*>("Edit1");
        EXPECT_EQ(name->text(), "");
        name->setText(csv);
        d.findChild<QPushButton*>("Button1")->click();
        d.reject();
    });
    user.onModal("frm_Grid2Html", [&htm](QDialog& d) {
        auto* name = d.findChild<QLineEdit*>("Edit1");
        EXPECT_EQ(name->text(), "_gyfelek.htm");
        name->setText(htm);
        d.findChild<QCheckBox*>("CheckBox1")->setChecked(false);
        d.findChild<QPushButton*>("Button1")->click();
    });
    user.onModal("frm_Ugyfel_valaszt", [](QDialog& d) {
        trigger(d, "aExcelbe");
        trigger(d, "aHtml");
        trigger(d, "aBezar");
    });
    PickCustomer(-1);
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains(";Kov\xE1" "cs \xC1" "d\xE1m;"));
    QFile page(htm);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains(">Eger</font></td>"));
}

// Every kind of list window (pick list, template list, owner's rows) pops
// its menu up from a right-click on its grid.
TEST_F(CompaniesAndPickersTest, ListWindowsPopTheirMenuUpFromTheGrid)
{
    Tfrm_TorzsCeg companies(false);
    Tfrm_TorzsCimke layouts;
    Tfrm_Megj documents(1, 0, "Teszt");
    const std::pair<QDialog*, QMenu*> windows[] = {
        {&companies, companies.PopupMenu1}, {&layouts, layouts.PopupMenu1}, {&documents, documents.PopupMenu1}};
    for (const auto& [window, menu] : windows) {
        window->show();
        emit grid(*window)->customContextMenuRequested(QPoint(5, 5));
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000)) << window->objectName().toStdString();
        menu->close();
        window->hide();
    }
}
