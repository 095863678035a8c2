#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "common/Settings.h"
#include "tests/support/TempHome.h"

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

void writeAll(const QString& path, const QString& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
}

}  // namespace

TEST(IniFile, KeepsOrderCommentsAndUnknownLinesWhenRewritten)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/a.ini";
    writeAll(path, "; megjegyzés\n[Adatbazis]\nUtvonal=/x/Data\n\n[frm_Egy]\nLeft=3\nTop=4\nfurcsa sor\n");
    IniFile ini(path);
    ini.load();
    ini.writeString("adatbazis", "UTVONAL", "/y/Árvíztűrő");
    ini.writeInteger("frm_Egy", "Szeles", 7);
    ini.writeInteger("Uj", "Bal", 1);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path),
              "; megjegyzés\r\n[Adatbazis]\r\nUtvonal=/y/Árvíztűrő\r\n\r\n[frm_Egy]\r\nLeft=3\r\n"
              "Top=4\r\nfurcsa sor\r\nSzeles=7\r\n[Uj]\r\nBal=1\r\n");
}

TEST(IniFile, UnreadableValuesCountAsMissing)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/b.ini";
    writeAll(path, "[S]\nI=12x\nB=igen\nB2=-3\nB0=0\nD=2024.13.01.\nD2=2024.02.29.\nT= szöveg \n");
    IniFile ini(path);
    ini.load();
    EXPECT_EQ(ini.readInteger("S", "I", 5), 5);
    EXPECT_EQ(ini.readInteger("S", "nincs", 6), 6);
    EXPECT_TRUE(ini.readBool("S", "B", true));
    EXPECT_FALSE(ini.readBool("S", "B", false));
    EXPECT_TRUE(ini.readBool("S", "B2", false));
    EXPECT_FALSE(ini.readBool("S", "B0", true));
    EXPECT_EQ(ini.readDate("S", "D", QDate(2000, 1, 1)), QDate(2000, 1, 1));
    EXPECT_EQ(ini.readDate("S", "D2", QDate()), QDate(2024, 2, 29));
    EXPECT_EQ(ini.readString("s", "t", ""), "szöveg");
}

TEST(IniFile, MissingFileReadsEmptyAndUnwritableFolderFails)
{
    IniFile ini("/nincs/ilyen/mappa/c.ini");
    ini.load();
    EXPECT_TRUE(ini.sections().isEmpty());
    ini.writeBool("A", "B", true);
    EXPECT_FALSE(ini.save());
}

TEST(WindowPositionStore, NeverSavedGivesTenTenAndSavedComesBackAsIs)
{
    TempHome home;
    EXPECT_EQ(RestoreWindowPosition("frm_Proba"), QPoint(10, 10));
    SaveWindowPosition("frm_Proba", 3000, -40);  // from a larger screen: kept as is
    EXPECT_EQ(RestoreWindowPosition("frm_Proba"), QPoint(3000, -40));
    SaveWindowPosition("frm_Masik", 1, 2);
    EXPECT_EQ(RestoreWindowPosition("frm_Proba"), QPoint(3000, -40));
    IniFile ini(home.settingsFile());
    ini.load();
    EXPECT_EQ(ini.sections(), QStringList({"frm_Proba", "frm_Masik"}));
    EXPECT_EQ(ini.keys("frm_Proba"), QStringList({"Left", "Top"}));
}

TEST(WindowPositionStore, UnreadableValueGivesTen)
{
    TempHome home;
    writeAll(home.settingsFile(), "[frm_X]\nLeft=abc\nTop=25\n");
    EXPECT_EQ(RestoreWindowPosition("frm_X"), QPoint(10, 25));
}

TEST(Folders, FirstStartMakesTheSettingsFolderAndItsTemp)
{
    TempHome home;
    EXPECT_EQ(SettingsFolder(), home.settingsFolder());
    EXPECT_EQ(SettingsFile(), home.settingsFile());
    EXPECT_TRUE(QFileInfo(home.settingsFolder() + "/Temp").isDir());
}

TEST(Folders, ExistingSettingsFolderGetsNoTemp)
{
    TempHome home;
    QDir(home.settingsFolder() + "/Temp").removeRecursively();
    InitFolders(home.programFolder());
    EXPECT_FALSE(QFileInfo(home.settingsFolder() + "/Temp").exists());
}

TEST(Folders, SettingsFolderThatCannotBeMadeFallsBackToTheProgramFolder)
{
    TempHome home;
    QDir(home.settingsFolder()).removeRecursively();
    writeAll(home.settingsFolder(), "a file where the folder should be");
    InitFolders(home.programFolder());
    EXPECT_EQ(SettingsFolder(), ProgramFolder());
    EXPECT_EQ(SettingsFile(), ProgramFolder() + "/Nyilvex.ini");
}
