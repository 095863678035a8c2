#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "IniFile.h"

namespace {

struct Folders {
    QString program;
    QString settings;
    QString file;
};

Folders& folders()
{
    static Folders f;
    return f;
}

}  // namespace

void InitFolders()
{
    InitFolders(QCoreApplication::applicationDirPath());
}

void InitFolders(const QString& programFolder)
{
    Folders& f = folders();
    f.program = QDir::cleanPath(programFolder);

    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    f.settings = config.isEmpty() ? f.program : QDir::cleanPath(config + "/Nyilvex");
    if (!QFileInfo(f.settings).isDir()) {
        if (QDir().mkpath(f.settings))
            QDir().mkpath(f.settings + "/Temp");  // a failure here does no harm
        else
            f.settings = f.program;
    }
    f.file = f.settings + "/Nyilvex.ini";
}

const QString& ProgramFolder()
{
    return folders().program;
}

const QString& SettingsFolder()
{
    return folders().settings;
}

const QString& SettingsFile()
{
    return folders().file;
}

QPoint RestoreWindowPosition(const QString& formName)
{
    IniFile ini(SettingsFile());
    ini.load();
    return QPoint(ini.readInteger(formName, "Left", 10), ini.readInteger(formName, "Top", 10));
}

void SaveWindowPosition(const QString& formName, int left, int top)
{
    IniFile ini(SettingsFile());
    ini.load();
    ini.writeInteger(formName, "Left", left);
    ini.writeInteger(formName, "Top", top);
    ini.save();
}
