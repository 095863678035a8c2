#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"

namespace {

void writeAll(const QString& path, const QString& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
}

}  // namespace

TEST(Settings, FirstStartReadsDefaultsAndCloseWritesAllNineKeysInOrder)
{
    TempHome home;
    QDir().mkpath(home.programFolder() + "/Data");
    ScriptedInteraction user;
    LoadSettings();
    EXPECT_TRUE(user.asked.empty());
    EXPECT_TRUE(Beall.fullScreen);
    EXPECT_EQ(Beall.databaseFolder, home.programFolder() + "/Data");
    EXPECT_EQ(Beall.defaultCity, "");
    EXPECT_EQ(Beall.archiveFolder, home.programFolder() + "/Archiv");
    EXPECT_EQ(Beall.lastArchiveDate, QDate::currentDate().addDays(-10));
    EXPECT_EQ(QRect(Beall.left, Beall.top, Beall.width, Beall.height), QRect(5, 5, 640, 400));
    EXPECT_EQ(Beall.sortFields[0], "ceg_nev");
    EXPECT_EQ(Beall.sortFields[3], "cikkszam");
    // The first close asks the archive question: the missing date counts as ten days ago.
    EXPECT_TRUE(ArchiveDue(QDate::currentDate(), Beall.lastArchiveDate));

    SaveSettings();
    QFile f(home.settingsFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString expected = "[Adatbazis]\r\nUtvonal=" + home.programFolder() +
                             "/Data\r\n[Alapertek]\r\nTeljesKep=1\r\nAlapVaros=\r\nBal=5\r\n"
                             "Felul=5\r\nMagas=400\r\nSzeles=640\r\n[Archiv]\r\nMentesUtvonal=" +
                             home.programFolder() + "/Archiv\r\nMentesDatum=" +
                             QDate::currentDate().addDays(-10).toString("yyyy.MM.dd.") + "\r\n";
    EXPECT_EQ(QString::fromUtf8(f.readAll()), expected);
}

TEST(Settings, SavedValuesComeBackAndWindowSectionsSurvive)
{
    TempHome home;
    QDir().mkpath(home.path() + "/adatok");
    writeAll(home.settingsFile(),
             "[frm_Beallit]\nLeft=7\nTop=8\n[Adatbazis]\nUtvonal=" + home.path() +
                 "/adatok\n[Alapertek]\nTeljesKep=0\nAlapVaros=Győr\nBal=-4\nFelul=x\n"
                 "[Archiv]\nMentesUtvonal=\\\\szerver\\mentes\nMentesDatum=2024.02.29.\n");
    ScriptedInteraction user;
    LoadSettings();
    EXPECT_TRUE(user.asked.empty());
    EXPECT_FALSE(Beall.fullScreen);
    EXPECT_EQ(Beall.defaultCity, "Győr");
    EXPECT_EQ(Beall.databaseFolder, home.path() + "/adatok");
    EXPECT_EQ(Beall.left, -4);
    EXPECT_EQ(Beall.top, 5);  // unreadable
    EXPECT_EQ(Beall.archiveFolder, "\\\\szerver\\mentes");
    EXPECT_EQ(Beall.lastArchiveDate, QDate(2024, 2, 29));
    Beall.defaultCity = "Pécs";
    SaveSettings();
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.sections(), QStringList({"frm_Beallit", "Adatbazis", "Alapertek", "Archiv"}));
    EXPECT_EQ(RestoreWindowPosition("frm_Beallit"), QPoint(7, 8));
    EXPECT_EQ(ini.readString("Alapertek", "AlapVaros", ""), "Pécs");
    EXPECT_EQ(ini.readString("Alapertek", "Felul", ""), "5");
    EXPECT_EQ(ini.readString("Archiv", "MentesUtvonal", ""), "\\\\szerver\\mentes");
}

TEST(Settings, DeletedDatabaseFolderGivesOneErrorAndTheDefaultIsSaved)
{
    TempHome home;
    QDir().mkpath(home.path() + "/torolt");
    writeAll(home.settingsFile(), "[Adatbazis]\nUtvonal=" + home.path() + "/torolt\n");
    QDir(home.path() + "/torolt").removeRecursively();
    ScriptedInteraction user;
    LoadSettings();
    EXPECT_EQ(user.errors(), QStringList{"Nem létező adatbázis mappa, alapértelmezés visszaállítva."});
    EXPECT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(Beall.databaseFolder, home.programFolder() + "/Data");
    SaveSettings();
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.readString("Adatbazis", "Utvonal", ""), home.programFolder() + "/Data");
}

TEST(Settings, EmptyDatabaseFolderIsMissingToo)
{
    TempHome home;
    writeAll(home.settingsFile(), "[Adatbazis]\nUtvonal=\n");
    ScriptedInteraction user;
    LoadSettings();
    EXPECT_EQ(user.errors().size(), 1);
    EXPECT_EQ(Beall.databaseFolder, home.programFolder() + "/Data");
}

TEST(Settings, ArchiveQuestionComesOnceFiveWholeDaysHavePassed)
{
    const QDate today(2024, 3, 1);
    EXPECT_TRUE(ArchiveDue(today, QDate(2024, 2, 25)));   // exactly 5 days (leap February)
    EXPECT_FALSE(ArchiveDue(today, QDate(2024, 2, 26)));  // 4 days
    EXPECT_FALSE(ArchiveDue(today, today));
    EXPECT_FALSE(ArchiveDue(today, QDate(2024, 3, 9)));   // a date in the future
    EXPECT_TRUE(ArchiveDue(today, QDate(2023, 1, 1)));
}
