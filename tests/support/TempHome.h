// TempHome: a fresh, empty configuration folder (XDG_CONFIG_HOME) and program
// folder for one test, with the program's folders fixed anew over them.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TempHome {
public:
    TempHome();
    ~TempHome();

    QString path() const { return dir_.path(); }
    // The program folder of this installation (empty; no "Data" in it).
    QString programFolder() const { return path() + "/program"; }
    // Where the program keeps its settings under this home.
    QString settingsFolder() const { return path() + "/Nyilvex"; }
    QString settingsFile() const { return settingsFolder() + "/Nyilvex.ini"; }

private:
    QTemporaryDir dir_;
    QByteArray before_;
};
