// The database archive: every file of the database folder packed into one
// ZIP archive whose name the user confirms, proposed as the day's date in the
// Archiv folder under the program folder.
//
// ArchiveDatabase closes the database connection (and so every data set on
// it) before reading the table files; each data set opens again when it is
// next used. The date of the last successful archive is kept in the settings
// record and written to the settings file when the program closes.
#pragma once

class QWidget;

// Runs the whole archive: folder, save dialog, ZIP file, messages.
void ArchiveDatabase(QWidget* owner = nullptr);

// The close-time offer: once five whole days have passed since the last
// archive, asks whether to archive now and does so on Yes.
void OfferArchiveAtClose(QWidget* owner = nullptr);
