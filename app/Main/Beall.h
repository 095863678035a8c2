// TBeall: the settings record of Nyilvex, the one global record through which
// every window shares the settings of this machine, the defaults of the
// database and the state of the logged-in user. Filled at start, written back
// at close; in between it is the only copy.
//
// LoadSettings and SaveSettings move the nine keys of the settings file
// (Settings.h names the file) in and out of `Beall`:
//   [Adatbazis] Utvonal         database folder, default <program folder>/Data
//   [Alapertek] TeljesKep       full screen, "1"/"0", default on
//   [Alapertek] AlapVaros       default city
//   [Archiv]    MentesUtvonal   carried through unchanged, default <program folder>/Archiv
//   [Archiv]    MentesDatum     last archive date, default ten days ago
//   [Alapertek] Bal Felul Magas Szeles   main window, default 5, 5, 400, 640
// A value that cannot be read counts as missing.
#pragma once

#include <QDate>
#include <QString>

#include <array>

// What a filter dialog remembers between its runs: its ticks, the ids it
// picked and the names it showed for them.
struct FilterMemory {
    std::array<bool, 5> ticks{};
    std::array<int, 4> ids{};
    std::array<QString, 4> names;
};

struct TBeall {
    bool fullScreen = true;
    QString databaseFolder;
    QString defaultCity;
    // Field by which each tab's list is ordered, lower case: 0 companies,
    // 1 customers, 2 tasks, 3 products.
    std::array<QString, 4> sortFields;
    int left = 5, top = 5, height = 400, width = 640;  // the main window
    bool referenceRight = false;  // may change the reference lists
    bool adminRight = false;      // may open settings, users and the SQL console
    QString archiveFolder;
    QDate lastArchiveDate;
    int defaultPriority = 0;
    int defaultDeadline = 0;  // days from today
    FilterMemory customerFilter;
    QString userName;  // display name of the logged-in user; empty without login
    int tabStripWidth = 250;
    FilterMemory taskFilter;
    bool loginRequired = false;
};

extern TBeall Beall;

// The alias through which every data set of the program reaches the database.
inline constexpr const char* DatabaseAlias = "Nyilvex";

// Reads the settings file into Beall (the four sort fields get their start
// values). A database folder that is empty or missing is reported with the
// error box and replaced by <program folder>/Data.
void LoadSettings();

// Writes the nine keys from Beall; the other sections of the file stay.
void SaveSettings();

// Writes only the database folder, for a folder the user chose at start.
void SaveDatabaseFolder();

// True when the archive is due: `today` is five or more whole days after
// `lastArchive`.
bool ArchiveDue(const QDate& today, const QDate& lastArchive);
