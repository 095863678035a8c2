// The archive command as the user runs it: the save dialog answered by the
// scripted user, a real database folder of table files, the archive read back
// by Python's zipfile and Info-ZIP's unzip.
#include "app/archive/Archiv.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>


#include "ZipCheck.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Layout.h"
#include "common/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"

namespace fs = std::filesystem;

namespace {

fs::path native(const QString& path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

class Archive : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.isValid() && out.isValid());
        {
            auto engineDb = engine::Database::open(native(db.path()).string());
            ASSERT_TRUE(engineDb.isOk());
            ASSERT_TRUE(layout::createAll(**engineDb).isOk());
        }
        ziptest::writeFile(native(db.path()) / "Dokumentumok" / "szerződés.txt", "a contract");
        ziptest::writeFile(native(db.path()) / ".rejtett", "hidden");

        Beall.databaseFolder = db.path();
        Beall.lastArchiveDate = lastDate;

        connection = new Connection(DatabaseAlias);
        connection->setParams(Connection::paradoxParams(db.path()));
        connection->open();
        customers = new TableDataSet(connection);
        customers->setTableName("ugyfel.DB");
        customers->open();
        customers->append();
        customers->fieldByName("Ugyfel_nev")->setValue("Kovács Éva");
        customers->post();
        customers->flushBuffers();
    }

    void TearDown() override
    {
        delete customers;
        delete connection;
    }

    ziptest::Listing archived(const QString& archive) const
    {
        return ziptest::readWithPython(native(archive), native(db.path()));
    }

    const QDate lastDate = QDate::currentDate().addDays(-7);
    TempHome home;
    ScriptedInteraction user;
    QTemporaryDir db, out;
    Connection* connection = nullptr;
    TableDataSet* customers = nullptr;
};

}  // namespace

TEST_F(Archive, PacksEveryFileOfTheDatabaseFolder)
{
    const QString chosen = out.path() + "/mentes.zip";
    user.files = {out.path() + "/mentes"};  // typed without the extension

    ArchiveDatabase();

    ASSERT_EQ(user.asked.size(), 2u);
    EXPECT_EQ(user.asked[0].kind, "save");
    EXPECT_EQ(user.asked[0].title, "Adatbázis mentése");
    EXPECT_EQ(user.asked[0].text,
              ProgramFolder() + "/Archiv/" + QDate::currentDate().toString("yyyyMMdd") + ".zip");
    EXPECT_TRUE(QFileInfo(ProgramFolder() + "/Archiv").isDir());
    ASSERT_EQ(user.saveDialogs.size(), 1u);
    EXPECT_EQ(user.saveDialogs[0].filter, "ZIP archívumok (*.zip)");
    EXPECT_EQ(user.saveDialogs[0].options.defaultSuffix, "zip");
    EXPECT_FALSE(user.saveDialogs[0].options.confirmOverwrite);
    EXPECT_EQ(user.messages(), QStringList{"Archív állomány kész."});
    EXPECT_EQ(user.asked[1].title, "Üzenet");
    EXPECT_EQ(Beall.lastArchiveDate, QDate::currentDate());

    // The tables were let go before they were read, and stay closed.
    EXPECT_FALSE(connection->isConnected());
    EXPECT_FALSE(customers->isActive());

    EXPECT_TRUE(ziptest::unzipAccepts(native(chosen)));
    const ziptest::Listing l = archived(chosen);
    ASSERT_TRUE(l.readable) << l.problem;
    EXPECT_TRUE(l.unarchived.empty());
    for (const auto& [name, m] : l.members)
        EXPECT_EQ(m.state, "same") << name;
    EXPECT_EQ(l.members.count("ugyfel.DB"), 1u);
    EXPECT_EQ(l.members.count("ugyfel.PX"), 1u);
    EXPECT_EQ(l.members.count("ceg.XG5"), 1u);
    EXPECT_EQ(l.members.count(".rejtett"), 1u);
    EXPECT_TRUE(l.members.at("Dokumentumok/szerződés.txt").utf8);
    EXPECT_EQ(l.members.size(), QDir(db.path()).entryList(QDir::Files | QDir::Hidden).size() + 1u);

    // The data sets open again when next used.
    customers->open();
    EXPECT_EQ(customers->recordCount(), 1);
}

TEST_F(Archive, SameDayArchiveInsideTheDatabaseFolderReplacesTheMorningOne)
{
    const QString chosen = db.path() + "/" + QDate::currentDate().toString("yyyyMMdd") + ".zip";
    user.files = {chosen, chosen};

    ArchiveDatabase();
    connection->open();
    customers->open();
    customers->append();
    customers->fieldByName("Ugyfel_nev")->setValue("Tóth Ödön");
    customers->post();
    customers->flushBuffers();
    ArchiveDatabase();

    EXPECT_EQ(user.messages(), (QStringList{"Archív állomány kész.", "Archív állomány kész."}));
    const ziptest::Listing l = archived(chosen);
    ASSERT_TRUE(l.readable) << l.problem;
    for (const auto& [name, m] : l.members)
        EXPECT_EQ(m.state, "same") << name;
    EXPECT_EQ(l.members.count(QFileInfo(chosen).fileName().toStdString()), 0u);
    EXPECT_EQ(l.unarchived, std::vector<std::string>{QFileInfo(chosen).fileName().toStdString()});
}

TEST_F(Archive, CancelChangesNothing)
{
    user.files = {""};
    ArchiveDatabase();
    EXPECT_TRUE(user.messages().isEmpty());
    EXPECT_TRUE(connection->isConnected());
    EXPECT_TRUE(customers->isActive());
    EXPECT_EQ(Beall.lastArchiveDate, lastDate);
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(Archive, AFileWhereTheArchiveFolderBelongsIsAnErrorBeforeTheDialog)
{
    const QString archiv = ProgramFolder() + "/Archiv";
    QDir().mkpath(ProgramFolder());
    ziptest::writeFile(native(archiv), "not a folder");
    ArchiveDatabase();
    EXPECT_EQ(user.errors(), QStringList{"Az archívumok mappája helyén egy fájl áll: " + archiv +
                                         ". Nevezze át vagy törölje, és archiváljon újra."});
    EXPECT_TRUE(user.ofKind("save").empty());
    EXPECT_TRUE(customers->isActive());
    EXPECT_EQ(Beall.lastArchiveDate, lastDate);
    EXPECT_EQ(QDir(ProgramFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"Archiv"});
}

TEST_F(Archive, FailureIsReportedAndKeepsTheDate)
{
    const QString chosen = out.path() + "/nincs/mentes.zip";
    user.files = {chosen};
    ArchiveDatabase();
    EXPECT_EQ(user.errors(), QStringList{"Hiba az archiválás közben\nAz archívum nem hozható létre: " + chosen +
                                         " (nem található)."});
    EXPECT_EQ(user.messages().size(), 1);
    EXPECT_EQ(Beall.lastArchiveDate, lastDate);
    EXPECT_FALSE(QFileInfo::exists(chosen));

    // The disk fills up halfway (a file size limit stands in for it): the
    // morning's archive of that name stays as it was.
    const QString morning = out.path() + "/mentes.zip";
    ziptest::writeFile(native(morning), "the morning's archive");
    ziptest::writeFile(native(db.path()) / "kep.jpg", ziptest::randomBytes(2 << 20, 9));
    user.files = {morning};
    {
        ziptest::FileSizeLimit full(512 * 1024);
        ArchiveDatabase();
    }
    ASSERT_EQ(user.errors().size(), 2);
    EXPECT_EQ(user.errors()[1], "Hiba az archiválás közben\nAz archívum nem írható: " + morning +
                                    " (túl nagy fájl).");
    EXPECT_EQ(ziptest::readFile(native(morning)), "the morning's archive");
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"mentes.zip"});
    EXPECT_EQ(Beall.lastArchiveDate, lastDate);
}

TEST_F(Archive, CloseTimeQuestionComesOnceFiveDaysHavePassed)
{
    Beall.lastArchiveDate = QDate::currentDate().addDays(-4);
    OfferArchiveAtClose();
    EXPECT_TRUE(user.asked.empty());

    Beall.lastArchiveDate = QDate::currentDate().addDays(-5);
    user.yesNo = {false};
    OfferArchiveAtClose();
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].kind, "question");
    EXPECT_EQ(user.asked[0].title, "Kérdés");
    EXPECT_EQ(user.asked[0].text, "Az adatbázis több mint 5 napja nem lett archiválva. Archiváljam most?");
    EXPECT_EQ(Beall.lastArchiveDate, QDate::currentDate().addDays(-5));

    user.yesNo = {true};
    user.files = {out.path() + "/zaras.zip"};
    OfferArchiveAtClose();
    EXPECT_EQ(user.messages().last(), "Archív állomány kész.");
    EXPECT_EQ(Beall.lastArchiveDate, QDate::currentDate());
    EXPECT_TRUE(QFileInfo::exists(out.path() + "/zaras.zip"));
}
