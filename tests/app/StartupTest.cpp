#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "common/DataSet.h"
#include "common/IniFile.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

void login(ScriptedInteraction& user, const QString& code, const QString& password)
{
    user.onModal("frm_Login", [code, password](QDialog& d) {
        d.findChild<QLineEdit*>("edtFelhasznalo")->setText(code);
        d.findChild<QLineEdit*>("edtJelszo")->setText(password);
        d.findChild<QPushButton*>("btnOK")->click();
    });
}

void setLoginFlag(const QString& folder, const QString& value)
{
    Connection conn;
    conn.setParams(Connection::paradoxParams(folder));
    TableDataSet t(&conn);
    t.setTableName("beallit.DB");
    t.open();
    t.edit();
    t.fieldByName("vanbelep")->setValue(value);
    t.post();
    t.flushBuffers();
}

}  // namespace

TEST(Startup, FirstStartLogsInAndCloseWritesAllNineKeys)
{
    TempHome home;
    const QString data = home.programFolder() + "/Data";
    BuildTestDatabase(data);
    ScriptedInteraction user;
    login(user, "rendszergazda", "nyilvex");
    {
        Tfrm_Main w;
        ASSERT_TRUE(w.startUp());
        EXPECT_TRUE(user.errors().isEmpty()) << user.errors().join("; ").toStdString();
        EXPECT_TRUE(Beall.loginRequired);
        EXPECT_TRUE(Beall.adminRight);
        EXPECT_TRUE(Beall.referenceRight);
        EXPECT_EQ(Beall.userName, "Rendszergazda");
        EXPECT_EQ(Beall.defaultPriority, 2);
        EXPECT_EQ(Beall.defaultDeadline, 7);
        EXPECT_TRUE(Beall.taskFilter.ticks[4]);
        EXPECT_EQ(Beall.customerFilter.ids[0], -1);
        EXPECT_EQ(Beall.customerFilter.ids[1], -1);
        EXPECT_EQ(w.Database1->params(),
                  QStringList({"PATH=" + data, "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"}));
        EXPECT_FALSE(QFile::exists(home.settingsFile()));
        w.show();
        // A missing archive date counts as ten days ago: the archive is offered.
        user.yesNo = {false};
        w.close();
        EXPECT_FALSE(w.Database1->isConnected());
        ASSERT_FALSE(user.asked.empty());
        EXPECT_EQ(user.asked.back().kind, "question");
        EXPECT_EQ(user.asked.back().text,
                  "Az adatbázis több mint 5 napja nem lett archiválva. Archiváljam most?");
    }
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.keys("Adatbazis"), QStringList{"Utvonal"});
    EXPECT_EQ(ini.keys("Alapertek"),
              QStringList({"TeljesKep", "AlapVaros", "Bal", "Felul", "Magas", "Szeles"}));
    EXPECT_EQ(ini.keys("Archiv"), QStringList({"MentesUtvonal", "MentesDatum"}));
    EXPECT_EQ(ini.readString("Adatbazis", "Utvonal", ""), data);
}

TEST(Startup, DeletedDatabaseFolderGivesOneErrorAndStartsOnTheDefault)
{
    TempHome home;
    BuildTestDatabase(home.programFolder() + "/Data");
    {
        IniFile ini(home.settingsFile());
        ini.writeString("Adatbazis", "Utvonal", home.path() + "/elkoltozott");
        ASSERT_TRUE(ini.save());
    }
    setLoginFlag(home.programFolder() + "/Data", "N");
    ScriptedInteraction user;
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp());
    EXPECT_EQ(user.errors(), QStringList{"Nem létező adatbázis mappa, alapértelmezés visszaállítva."});
    EXPECT_EQ(Beall.databaseFolder, home.programFolder() + "/Data");
}

TEST(Startup, LowerCaseLoginFlagAsksNoLoginAndGrantsBothRights)
{
    TempHome home;
    BuildTestDatabase(home.programFolder() + "/Data");
    setLoginFlag(home.programFolder() + "/Data", "i");
    Beall.adminRight = Beall.referenceRight = false;
    ScriptedInteraction user;
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp());
    EXPECT_TRUE(user.asked.empty());
    EXPECT_FALSE(Beall.loginRequired);
    EXPECT_TRUE(Beall.adminRight);
    EXPECT_TRUE(Beall.referenceRight);
}

TEST(Startup, CancelledLoginEndsWithoutWritingSettings)
{
    TempHome home;
    BuildTestDatabase(home.programFolder() + "/Data");
    ScriptedInteraction user;
    user.onModal("frm_Login", [](QDialog& d) { d.findChild<QPushButton*>("btnMegsem")->click(); });
    {
        Tfrm_Main w;
        EXPECT_FALSE(w.startUp());
    }
    EXPECT_FALSE(QFile::exists(home.settingsFile()));
}

TEST(Startup, UnusableDatabaseNamesTheFolderAndEndsWhenNotMended)
{
    TempHome home;
    const QString data = home.programFolder() + "/Data";
    QDir().mkpath(data);  // a folder without tables
    ScriptedInteraction user;
    user.yesNo = {false, false};
    Tfrm_Main w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].contains("beallit")) << user.errors()[0].toStdString();
    EXPECT_TRUE(user.errors()[0].contains(data)) << user.errors()[0].toStdString();
    EXPECT_TRUE(user.ofKind("folder").empty());
    EXPECT_FALSE(QFile::exists(home.settingsFile()));
}

// A wrong folder is mended from the program and the choice is kept, even
// when the run then ends at the login.
TEST(Startup, MissingFolderIsChosenAndKept)
{
    TempHome home;
    const QString elsewhere = home.path() + "/masik";
    BuildTestDatabase(elsewhere);
    {
        IniFile ini(home.settingsFile());
        ini.writeString("Adatbazis", "Utvonal", home.path() + "/elkoltozott");
        ASSERT_TRUE(ini.save());
    }
    ScriptedInteraction user;
    user.yesNo = {true};
    user.folders = {elsewhere};
    user.onModal("frm_Login", [](QDialog& d) { d.findChild<QPushButton*>("btnMegsem")->click(); });
    {
        Tfrm_Main w;
        EXPECT_FALSE(w.startUp());
    }
    ASSERT_EQ(user.errors().size(), 2);
    EXPECT_EQ(user.errors()[0], "Nem létező adatbázis mappa, alapértelmezés visszaállítva.");
    EXPECT_TRUE(user.errors()[1].contains(home.programFolder() + "/Data")) << user.errors()[1].toStdString();
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.readString("Adatbazis", "Utvonal", ""), elsewhere);

    // The next start opens the chosen folder without a word.
    ScriptedInteraction again;
    login(again, "rendszergazda", "nyilvex");
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp());
    EXPECT_TRUE(again.errors().isEmpty()) << again.errors().join("; ").toStdString();
    EXPECT_EQ(Beall.databaseFolder, elsewhere);
}

TEST(Startup, EmptyFolderGetsANewDatabase)
{
    TempHome home;
    const QString data = home.programFolder() + "/Data";
    QDir().mkpath(data);
    ScriptedInteraction user;
    user.yesNo = {false, true};
    login(user, "rendszergazda", "nyilvex");
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp()) << user.errors().join("; ").toStdString();
    EXPECT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(QFile::exists(data + "/beallit.DB") || QFile::exists(data + "/BEALLIT.DB"));
    EXPECT_TRUE(Beall.loginRequired);
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.readString("Adatbazis", "Utvonal", ""), data);
}

TEST(Startup, BrokenUserTableDuringLoginEndsWithTheRestartMessage)
{
    TempHome home;
    const QString data = home.programFolder() + "/Data";
    BuildTestDatabase(data);
    for (const QString& f : QDir(data).entryList({"felhasznalo.*"}, QDir::Files))
        QFile::remove(data + "/" + f);
    ScriptedInteraction user;
    Tfrm_Main w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Ismeretlen hiba, indítsa újra a programot.\n"));
    EXPECT_GT(user.errors()[0].size(), 45);
}
