#include "Beall.h"

#include <QFileInfo>

#include "common/Convert.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/Settings.h"

TBeall Beall;

namespace {

QString defaultDatabaseFolder()
{
    return ProgramFolder() + "/Data";
}

void saveOrTell(IniFile& ini)
{
    if (!ini.save()) ShowError("A beállítások nem menthetők ide: " + SettingsFile());
}

}  // namespace

void LoadSettings()
{
    IniFile ini(SettingsFile());
    ini.load();
    Beall.defaultCity = ini.readString("Alapertek", "AlapVaros", QString());
    Beall.fullScreen = ini.readBool("Alapertek", "TeljesKep", true);
    Beall.sortFields = {"ceg_nev", "ugyfel_nev", "feladat", "cikkszam"};
    Beall.left = ini.readInteger("Alapertek", "Bal", 5);
    Beall.top = ini.readInteger("Alapertek", "Felul", 5);
    Beall.height = ini.readInteger("Alapertek", "Magas", 400);
    Beall.width = ini.readInteger("Alapertek", "Szeles", 640);
    Beall.databaseFolder = ini.readString("Adatbazis", "Utvonal", defaultDatabaseFolder());
    Beall.archiveFolder = ini.readString("Archiv", "MentesUtvonal", ProgramFolder() + "/Archiv");
    Beall.lastArchiveDate = ini.readDate("Archiv", "MentesDatum", QDate::currentDate().addDays(-10));

    if (Beall.databaseFolder.isEmpty() || !QFileInfo(Beall.databaseFolder).isDir()) {
        ShowError("Nem létező adatbázis mappa, alapértelmezés visszaállítva.");
        Beall.databaseFolder = defaultDatabaseFolder();
    }
}

void SaveSettings()
{
    IniFile ini(SettingsFile());
    ini.load();
    ini.writeString("Adatbazis", "Utvonal", Beall.databaseFolder);
    ini.writeBool("Alapertek", "TeljesKep", Beall.fullScreen);
    ini.writeString("Alapertek", "AlapVaros", Beall.defaultCity);
    ini.writeString("Archiv", "MentesUtvonal", Beall.archiveFolder);
    ini.writeDate("Archiv", "MentesDatum", Beall.lastArchiveDate);
    ini.writeInteger("Alapertek", "Bal", Beall.left);
    ini.writeInteger("Alapertek", "Felul", Beall.top);
    ini.writeInteger("Alapertek", "Magas", Beall.height);
    ini.writeInteger("Alapertek", "Szeles", Beall.width);
    saveOrTell(ini);
}

void SaveDatabaseFolder()
{
    IniFile ini(SettingsFile());
    ini.load();
    ini.writeString("Adatbazis", "Utvonal", Beall.databaseFolder);
    saveOrTell(ini);
}

bool ArchiveDue(const QDate& today, const QDate& lastArchive)
{
    return !lastArchive.isValid() || today.addDays(-5) >= lastArchive;
}
