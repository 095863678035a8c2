// Mending a database folder that cannot be opened at start: the user points
// the program at another folder or has a new, empty database made in it.
#pragma once

class QWidget;

// Asks whether to choose another folder (folder dialog) or to make a new,
// empty database in Beall.databaseFolder, and does it. The folder then goes
// to the settings file at once. False when the user gives up.
bool MendDatabaseFolder(QWidget* owner);
