// TempHome: a fresh, empty configuration folder (XDG_CONFIG_HOME) for one
// test, with the program's folders fixed anew over it.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TempHome {
public:
    TempHome();
    ~TempHome();

    QString path() const { return dir_.path(); }
    // Where the program keeps its settings under this home.
    QString settingsFolder() const { return path() + "/Nyilvex"; }
    QString settingsFile() const { return settingsFolder() + "/Nyilvex.ini"; }

private:
    QTemporaryDir dir_;
    QByteArray before_;
};
