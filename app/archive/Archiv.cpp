#include "Archiv.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "ZipWriter.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "engine/Database.h"

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

// Every table of the folder held still while its files are read: each one's
// write lock is taken, as a transaction that changes nothing, so that no other
// program commits or writes a checkpoint meanwhile and the archive holds the
// rows of one moment (the journals are packed with the tables: what they hold
// is committed). Letting the tables go rolls the empty transactions back.
// A table no one can write (damaged, or on a read-only folder) stays still
// without a lock and is packed as it is: a damaged database needs its archive
// most.
class TablesHeld {
public:
    // Empty on success, else why the tables could not be held.
    QString hold(const QString& folder)
    {
        auto db = engine::Database::open(QFile::encodeName(folder).toStdString());
        if (!db.isOk()) return QString::fromStdString(db.status().message());
        db_ = *db;
        auto names = db_->tableNames();
        if (!names.isOk()) return QString::fromStdString(names.status().message());
        for (const std::string& name : *names) {
            auto table = db_->openTable(name, engine::OpenMode::Shared);
            // A damaged journal is set aside by the open that finds it; the
            // next one opens what was whole of it.
            if (!table.isOk() && table.status().code() == engine::ErrorCode::Corrupt)
                table = db_->openTable(name, engine::OpenMode::Shared);
            if (!table.isOk()) {
                if (unwritable(table.status())) continue;
                return QString::fromStdString(table.status().message());
            }
            if (engine::Status s = (*table)->begin(); !s.isOk()) {
                if (unwritable(s)) continue;
                return QString::fromStdString(s.message());
            }
            tables_.push_back(*table);
        }
        return {};
    }

private:
    static bool unwritable(const engine::Status& s)
    {
        return s.code() == engine::ErrorCode::Corrupt || s.code() == engine::ErrorCode::ReadOnly;
    }

    std::shared_ptr<engine::Database> db_;
    std::vector<std::shared_ptr<engine::Table>> tables_;
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
        TablesHeld held;
        if (const QString why = held.hold(Beall.databaseFolder); !why.isEmpty()) {
            ShowError("Hiba az archiválás közben\n" + why, owner);
            return;
        }
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
