#include "TempHome.h"

#include "common/Settings.h"

TempHome::TempHome() : before_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    InitFolders();
}

TempHome::~TempHome()
{
    qputenv("XDG_CONFIG_HOME", before_);
    InitFolders();
}
