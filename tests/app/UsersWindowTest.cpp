#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/users/Felhasznalo.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

// Types into a box as the user would (bound boxes take typed text only).
void typeInto(QLineEdit* e, const QString& text)
{
    e->selectAll();
    if (text.isEmpty())
        e->del();
    else
        e->insert(text);
}

class UsersWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
    }

    // "code:name:password:admin:reference" of every user, in key order.
    QStringList users()
    {
        TableDataSet t(&conn);
        t.setTableName("felhasznalo.DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next()) {
            QStringList row;
            for (const char* f : {"felhasznalo", "felhasznalo_nev", "jelszo", "rendszergazda", "torzsszerkeszt"})
                row << t.fieldByName(f)->asString();
            out << row.join(':');
        }
        return out;
    }

    static void fill(QDialog& d, const QString& code, const QString& name, const QString& pass,
                     const QString& again)
    {
        typeInto(d.findChild<QLineEdit*>("DBEdit1"), code);
        typeInto(d.findChild<QLineEdit*>("DBEdit3"), name);
        typeInto(d.findChild<QLineEdit*>("DBEdit2"), pass);
        d.findChild<QLineEdit*>("Edit1")->setText(again);
        d.findChild<QPushButton*>("btnOK")->click();
    }

    static void trigger(QDialog& d, const char* action)
    {
        d.findChild<QAction*>(action)->trigger();
    }

    TempHome home;
    Connection conn{DatabaseAlias};
};

}  // namespace

TEST_F(UsersWindowTest, NewUserIsRefusedUntilCompleteAndGetsNoRights)
{
    ScriptedInteraction user;
    user.onModal("frm_FelhasznaloSzerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Felhasználó adatainak szerkesztése");
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "");
        fill(d, "kata", "Kovács Kata", "", "");
        fill(d, "kata", "Kovács Kata", "titok", "Titok");
        fill(d, "rendszergazda", "Kovács Kata", "titok", "titok");  // the code exists
        EXPECT_TRUE(d.isVisible());
        fill(d, "kata", "Kovács Kata", "titok", "titok");
    });
    user.onModal("frm_Felhasznalo", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Felhasználók adatai");
        trigger(d, "aUj");
        d.reject();
    });
    ShowUsers(nullptr);
    EXPECT_EQ(user.errors(), QStringList({"Hiányos adat megadás", "Hibás jelszó megadás",
                                          "Hiányos adat megadás"}));
    EXPECT_EQ(users(), QStringList({"kata:Kovács Kata:titok::", "rendszergazda:Rendszergazda:nyilvex:I:I"}));
}

TEST_F(UsersWindowTest, EditWithoutTouchingThePasswordsSavesAndCancelKeepsTheRow)
{
    ScriptedInteraction user;
    user.onModal("frm_FelhasznaloSzerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "nyilvex");
        typeInto(d.findChild<QLineEdit*>("DBEdit3"), "Főnök");
        d.findChild<QPushButton*>("btnOK")->click();
    });
    user.onModal("frm_FelhasznaloSzerkeszt", [](QDialog& d) {
        typeInto(d.findChild<QLineEdit*>("DBEdit3"), "Eldobott");
        d.findChild<QPushButton*>("btnCancel")->click();
    });
    user.onModal("frm_Felhasznalo", [](QDialog& d) {
        trigger(d, "aSzerkeszt");
        trigger(d, "aSzerkeszt");
        d.reject();
    });
    ShowUsers(nullptr);
    EXPECT_TRUE(user.errors().isEmpty());
    EXPECT_EQ(users(), QStringList{"rendszergazda:Főnök:nyilvex:I:I"});
}

TEST_F(UsersWindowTest, DeleteAsksFirst)
{
    ScriptedInteraction user;
    user.yesNo = {false, true};
    user.onModal("frm_Felhasznalo", [](QDialog& d) {
        trigger(d, "aTorol");
        trigger(d, "aTorol");
        d.reject();
    });
    ShowUsers(nullptr);
    ASSERT_EQ(user.ofKind("question").size(), 2u);
    EXPECT_EQ(user.ofKind("question")[0].title, "Megerősítés");
    EXPECT_EQ(user.ofKind("question")[0].text, "Valóban töröljem a sort?");
    EXPECT_TRUE(users().isEmpty());
}
