// Where the program keeps its settings, and the window-position store.
//
// The folders are fixed once at start by InitFolders(), before any window is
// made, and then read by both programs:
//   program folder   the folder of the running executable
//   settings folder  <generic config folder>/Nyilvex (XDG_CONFIG_HOME or
//                    ~/.config); made with its "Temp" subfolder when missing;
//                    the program folder when it cannot be made or the system
//                    names no config folder
//   settings file    settings folder + "/Nyilvex.ini"
//
// The window-position store keeps each window's left and top edge in the
// settings file, in a section named after the window's form name
// ("frm_Beallit") with the keys "Left" and "Top". Each call opens the file,
// reads or writes, and closes it again.
#pragma once

#include <QPoint>
#include <QString>

// Fixes the three locations (making the settings folder when missing). May be
// called again, as tests do after pointing XDG_CONFIG_HOME elsewhere.
void InitFolders();
// The same with another program folder, as an installation elsewhere would
// have it (tests).
void InitFolders(const QString& programFolder);

const QString& ProgramFolder();
const QString& SettingsFolder();
const QString& SettingsFile();

// Left and top of the window `formName`; 10 for each value missing or unreadable.
QPoint RestoreWindowPosition(const QString& formName);
void SaveWindowPosition(const QString& formName, int left, int top);
