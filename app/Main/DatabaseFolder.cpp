#include "DatabaseFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Beall.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "tools/NewDatabase.h"

namespace {

const QString Title = "Adatbázis mappa";

// The builder reads its reference lists from files; the program carries them.
QString createEmptyDatabase(const QString& folder)
{
    QTemporaryDir lists;
    if (!lists.isValid()) return "nem hozható létre átmeneti mappa.";
    for (const char* name : {"nevnap.csv", "irsz.csv"})
        if (!QFile::copy(QString(":/newdb/") + name, lists.filePath(name)))
            return QString("hiányzik a program része: %1").arg(name);
    const engine::Status s =
        newdb::createDatabase(folder.toStdString(), lists.path().toStdString(), false);
    return s.isOk() ? QString() : QString::fromStdString(s.message());
}

}  // namespace

bool MendDatabaseFolder(QWidget* owner)
{
    Q_INIT_RESOURCE(newdb);  // the reference lists live in a static library
    for (;;) {
        const QString folder = QDir::toNativeSeparators(Beall.databaseFolder);
        if (AskYesNo("Az adatbázis nem nyitható meg ebből a mappából:\n" + folder +
                         "\n\nKiválaszt egy másik adatbázis mappát?",
                     Title, owner)) {
            const QString chosen = interaction().existingFolder(owner, "Adatbázis útvonal", Beall.databaseFolder);
            if (!chosen.isEmpty()) {
                Beall.databaseFolder = QDir::cleanPath(chosen);
                SaveDatabaseFolder();
                return true;
            }
        }
        if (!AskYesNo("Létrehozzak egy új, üres adatbázist ebben a mappában?\n" + folder, Title, owner))
            return false;
        const QString error = createEmptyDatabase(Beall.databaseFolder);
        if (error.isEmpty()) {
            SaveDatabaseFolder();
            return true;
        }
        ShowError("Az új adatbázis nem hozható létre: " + error, owner);
    }
}
