#include "TempHome.h"

#include <QDir>

#include "common/Settings.h"

TempHome::TempHome() : before_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    QDir().mkpath(programFolder());
    InitFolders(programFolder());
}

TempHome::~TempHome()
{
    qputenv("XDG_CONFIG_HOME", before_);
    InitFolders();
}
