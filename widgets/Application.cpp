#include "Application.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>
#include <new>

#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/WindowConventions.h"

namespace {

// Dates that Qt's own dialogs show (the file dialog's "Módosítás dátuma")
// follow the system locale, which Qt reads from the environment once, when
// the application is made. Only the time category is set: numbers stay as
// the C library reads them.
int& withHungarianDates(int& argc)
{
    qputenv("LC_TIME", "hu_HU.UTF-8");
    return argc;
}

}  // namespace

NyilvexApplication::NyilvexApplication(int& argc, char** argv) : QApplication(withHungarianDates(argc), argv) {}

bool NyilvexApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        // Its own text is the library's, in English.
        ShowError(QStringLiteral("Nincs elég memória a művelethez."));
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
