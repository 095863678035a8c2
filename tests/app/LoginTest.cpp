#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/dialogs/InputLine.h"
#include "app/users/Login.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

const QString invalid = "Érvénytelen felhasználó, vagy jelszó";

// A fresh database behind the alias, as the program has it at start.
class LoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        Beall.adminRight = Beall.referenceRight = false;
        Beall.userName.clear();
    }

    void addUser(const QString& code, const QVariant& password, const QString& admin,
                 const QString& reference)
    {
        TableDataSet t(&conn);
        t.setTableName("felhasznalo.DB");
        t.open();
        t.append();
        t.fieldByName("felhasznalo")->setValue(code);
        t.fieldByName("felhasznalo_nev")->setValue(code + " neve");
        t.fieldByName("jelszo")->setValue(password);
        t.fieldByName("rendszergazda")->setValue(admin);
        t.fieldByName("torzsszerkeszt")->setValue(reference);
        t.post();
    }

    // The login log as "code/I" or "code/N", oldest first.
    QStringList log()
    {
        TableDataSet t(&conn);
        t.setTableName("naplo.DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next()) {
            out << t.fieldByName("felhasznalo")->asString() + "/" + t.fieldByName("sikeres")->asString();
            EXPECT_LE(qAbs(t.fieldByName("datum")->value().toDateTime().secsTo(QDateTime::currentDateTime())), 60);
        }
        return out;
    }

    QString storedPassword(const QString& code)
    {
        TableDataSet t(&conn);
        t.setTableName("felhasznalo.DB");
        t.open();
        EXPECT_TRUE(t.locate("felhasznalo", code));
        return t.fieldByName("jelszo")->asString();
    }

    // Types the code and password and presses a button of the login window.
    static void type(QDialog& d, const QString& code, const QString& password, const char* button)
    {
        d.findChild<QLineEdit*>("edtFelhasznalo")->setText(code);
        d.findChild<QLineEdit*>("edtJelszo")->setText(password);
        d.findChild<QPushButton*>(button)->click();
    }

    static void answerLine(ScriptedInteraction& user, const QString& text, bool ok = true)
    {
        user.onModal(InputLineName, [text, ok](QDialog& d) {
            d.findChild<QLineEdit*>("Edit")->setText(text);
            d.findChild<QPushButton*>(ok ? "btnOK" : "btnMegsem")->click();
        });
    }

    TempHome home;
    Connection conn{DatabaseAlias};
};

}  // namespace

TEST_F(LoginTest, WrongLetterCaseFailsAndEveryAttemptIsLogged)
{
    ScriptedInteraction user;
    user.onModal("frm_Login", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Belépés azonosítás");
        type(d, "Rendszergazda", "nyilvex", "btnOK");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.findChild<QLineEdit*>("edtJelszo")->displayText(), "*******");
        type(d, "rendszergazda", "NYILVEX", "btnOK");
        EXPECT_TRUE(d.isVisible());
        type(d, "senki", "", "btnOK");
        type(d, "rendszergazda", "nyilvex", "btnOK");
    });
    EXPECT_TRUE(RunLogin());
    EXPECT_EQ(user.errors(), QStringList({invalid, invalid, invalid}));
    EXPECT_EQ(log(), QStringList({"Rendszergazda/N", "rendszergazda/N", "senki/N", "rendszergazda/I"}));
    EXPECT_TRUE(Beall.adminRight);
    EXPECT_TRUE(Beall.referenceRight);
    EXPECT_EQ(Beall.userName, "Rendszergazda");
}

TEST_F(LoginTest, BlankStoredPasswordNeverMatches)
{
    addUser("ures", QVariant(), "I", "I");
    ScriptedInteraction user;
    user.onModal("frm_Login", [](QDialog& d) {
        type(d, "ures", "", "btnOK");
        d.findChild<QPushButton*>("btnMegsem")->click();
    });
    EXPECT_FALSE(RunLogin());
    EXPECT_EQ(user.errors(), QStringList{invalid});
    EXPECT_EQ(log(), QStringList{"ures/N"});
    EXPECT_FALSE(Beall.adminRight);
}

// The attempt is stored before the refusal is on screen: a program ended
// while the box is open has logged it.
TEST_F(LoginTest, RefusedAttemptIsStoredBeforeTheRefusalShows)
{
    struct LogAtRefusal : ScriptedInteraction {
        std::function<QStringList()> read;
        QStringList seen;
        void message(QWidget* owner, MessageKind kind, const QString& title, const QString& text) override
        {
            seen = read();
            ScriptedInteraction::message(owner, kind, title, text);
        }
    } user;
    user.read = [this] { return log(); };
    user.onModal("frm_Login", [](QDialog& d) {
        type(d, "senki", "x", "btnOK");
        d.findChild<QPushButton*>("btnMegsem")->click();
    });
    EXPECT_FALSE(RunLogin());
    EXPECT_EQ(user.errors(), QStringList{invalid});
    EXPECT_EQ(user.seen, QStringList{"senki/N"});
}

TEST_F(LoginTest, UserWithoutRightsGetsNeither)
{
    addUser("Anna", "titok", "N", "");
    ScriptedInteraction user;
    user.onModal("frm_Login", [](QDialog& d) { type(d, "Anna", "titok", "btnOK"); });
    EXPECT_TRUE(RunLogin());
    EXPECT_FALSE(Beall.adminRight);
    EXPECT_FALSE(Beall.referenceRight);
    EXPECT_EQ(Beall.userName, "Anna neve");
}

TEST_F(LoginTest, NewPasswordIsStoredAndTheOldOneStopsWorking)
{
    ScriptedInteraction user;
    answerLine(user, "Uj-Jelszo1");
    answerLine(user, "Uj-Jelszo1");
    user.onModal("frm_Login", [](QDialog& d) {
        type(d, "rendszergazda", "nyilvex", "btnUjJelszo");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.findChild<QLineEdit*>("edtJelszo")->text(), "nyilvex");
        d.findChild<QPushButton*>("btnOK")->click();  // the old password still in the box
        type(d, "rendszergazda", "Uj-Jelszo1", "btnOK");
    });
    EXPECT_TRUE(RunLogin());
    EXPECT_EQ(user.messages(), QStringList({"Jelszó változtatás kész.", invalid}));
    EXPECT_EQ(user.ofKind("info").size(), 1u);
    EXPECT_EQ(storedPassword("rendszergazda"), "Uj-Jelszo1");
    EXPECT_EQ(log(), QStringList({"rendszergazda/N", "rendszergazda/I"}));
    const auto lines = user.ofKind("modal");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].text, "Jelszó megadása");
    EXPECT_EQ(lines[2].text, "Megerősítés");
}

TEST_F(LoginTest, NewPasswordRefusals)
{
    ScriptedInteraction user;
    // Wrong credentials: refused before any question, and no log row.
    // Then: the two texts differ; an empty one; an over-long one; a cancel.
    answerLine(user, "egyik");
    answerLine(user, "masik");
    answerLine(user, "");
    answerLine(user, "tizenegyből");
    answerLine(user, "x", false);
    answerLine(user, "jo");
    answerLine(user, "", false);
    user.onModal("frm_Login", [](QDialog& d) {
        type(d, "rendszergazda", "rossz", "btnUjJelszo");
        for (int i = 0; i < 5; ++i) type(d, "rendszergazda", "nyilvex", "btnUjJelszo");
        d.reject();
    });
    EXPECT_FALSE(RunLogin());
    EXPECT_EQ(user.errors(), QStringList({invalid, "A megadott jelszavak nem egyezőek",
                                          "Az új jelszó nem lehet üres.",
                                          "A jelszó legfeljebb 10 karakter lehet."}));
    EXPECT_TRUE(user.ofKind("info").empty());
    EXPECT_EQ(storedPassword("rendszergazda"), "nyilvex");
    EXPECT_TRUE(log().isEmpty());
}
