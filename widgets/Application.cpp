#include "Application.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/WindowConventions.h"

NyilvexApplication::NyilvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool NyilvexApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowError(QStringLiteral("Ismeretlen hiba"));
    }
    return false;
}

void SetupApplication(QApplication& app, const QString& title)
{
    // Not the display name too: X11 appends that to every window's caption.
    app.setApplicationName(title);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));

    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Hungarian), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    // The windows are laid out in Tahoma 8; a Tahoma face ships with the
    // Wine fonts even where the system has none registered. Only the regular
    // face is taken: Wine's bold face draws no heavier than the regular one,
    // so bold captions and names would not stand out; bold is drawn from the
    // regular face instead.
    const char* const tahoma = "/usr/share/wine/fonts/tahoma.ttf";
    if (QFile::exists(tahoma)) QFontDatabase::addApplicationFont(tahoma);
    QApplication::setFont(QFont("Tahoma", 8));

    WindowConventions::install(app);
    InitFolders();
}
