#include "Archiv.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

#include "ZipWriter.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"

namespace {

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The archive may take a while on a large database; the user sees that the
// program is busy until the result is reported.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void ArchiveDatabase(QWidget* owner)
{
    const QString folder = ProgramFolder() + "/Archiv";
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST) {
        ShowError("Az archívumok mappája nem hozható létre: " + folder + " (" +
                      QString::fromStdString(zip::reason(errno)) + ").",
                  owner);
        return;
    }
    // A plain file of that name would have the archive written beside it.
    if (!QFileInfo(folder).isDir()) {
        ShowError("Az archívumok mappája helyén egy fájl áll: " + folder + ". Nevezze át vagy törölje, "
                  "és archiváljon újra.",
                  owner);
        return;
    }

    const QString proposed = folder + "/" + QDate::currentDate().toString("yyyyMMdd") + ".zip";
    const QString chosen = interaction().saveFileName(owner, "Adatbázis mentése", proposed,
                                                      "ZIP archívumok (*.zip)", {"zip", false});
    if (chosen.isEmpty())
        return;

    // No table file may be held open while it is read.
    if (Connection* connection = Connection::byName(DatabaseAlias))
        connection->close();

    try {
        BusyCursor busy;
        zip::archiveFolder(nativePath(Beall.databaseFolder), nativePath(chosen));
    } catch (const zip::Error& e) {
        ShowError("Hiba az archiválás közben\n" + QString::fromUtf8(e.what()), owner);
        return;
    }
    Beall.lastArchiveDate = QDate::currentDate();
    ShowInfo("Archív állomány kész.", owner);
}

void OfferArchiveAtClose(QWidget* owner)
{
    if (ArchiveDue(QDate::currentDate(), Beall.lastArchiveDate) &&
        AskYesNo("Az adatbázis több mint 5 napja nem lett archiválva. Archiváljam most?", "Kérdés", owner))
        ArchiveDatabase(owner);
}
