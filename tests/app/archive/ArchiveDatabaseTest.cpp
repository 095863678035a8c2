// The archive command as the user runs it: the save dialog answered by the
// scripted user, a real database folder of table files, the archive read back
// by Python's zipfile and Info-ZIP's unzip.
#include "app/archive/Archiv.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>


#include "ZipCheck.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Layout.h"
#include "common/Settings.h"
#include "engine/Database.h"
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

    // Every member holds its file's bytes. The journals of the tables held
    // for the archive are packed as they were; letting the tables go
    // afterwards may remove them from the folder. Returns how many there are.
    static size_t expectPackedAsInTheFolder(const ziptest::Listing& l)
    {
        size_t journals = 0;
        for (const auto& [name, m] : l.members) {
            if (QString::fromStdString(name).endsWith(".WAL")) {
                ++journals;
                EXPECT_NE(m.state, "differs") << name;
            } else {
                EXPECT_EQ(m.state, "same") << name;
            }
        }
        return journals;
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
    const size_t journals = expectPackedAsInTheFolder(l);
    EXPECT_EQ(l.members.count("ugyfel.DB"), 1u);
    EXPECT_EQ(l.members.count("ugyfel.PX"), 1u);
    EXPECT_EQ(l.members.count("ceg.XG5"), 1u);
    EXPECT_EQ(l.members.count(".rejtett"), 1u);
    EXPECT_TRUE(l.members.at("Dokumentumok/szerződés.txt").utf8);
    const QStringList files = QDir(db.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(l.members.size() - journals, size_t(files.size() - files.filter(QRegularExpression("\\.WAL$")).size()) + 1u);

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
    expectPackedAsInTheFolder(l);
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

// Another program writes all along: it adds a type, then a salesman, one
// statement each. Restored, the archive holds as many of each, or one type
// more: the rows of one moment, not the types of an earlier one beside the
// salesmen of a later one.
TEST_F(Archive, HoldsOneMomentWhileAnotherProgramWrites)
{
    // Something slow to pack between the two tables' files.
    ziptest::writeFile(native(db.path()) / "kep.jpg", ziptest::randomBytes(24 << 20, 3));
    std::string script;
    for (int i = 0; i < 100000; ++i)
        script += "INSERT INTO feltipus (feltipus_nev) VALUES ('t');\nINSERT INTO uzletkoto (uzletkoto_nev) VALUES ('u');\n";
    QProcess writer;
    writer.start(NYILVEX_SQL, {db.path()});
    ASSERT_TRUE(writer.waitForStarted());
    writer.write(QByteArray::fromStdString(script));
    writer.closeWriteChannel();
    auto count = [](const QString& folder, const char* table) {
        auto d = engine::Database::open(QFile::encodeName(folder).toStdString());
        auto t = (*d)->openTable(table, engine::OpenMode::ReadOnly);
        return t.isOk() ? int((*t)->rows(engine::OrderSpec::primary())->size()) : -1;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(db.path(), "uzletkoto") > 100; }, 10000));

    const QString chosen = out.path() + "/mentes.zip";
    user.files = {chosen};
    ArchiveDatabase();
    writer.kill();
    writer.waitForFinished();
    ASSERT_EQ(user.messages(), QStringList{"Archív állomány kész."});

    const QString restored = out.path() + "/vissza";
    ASSERT_EQ(QProcess::execute("unzip", {"-q", chosen, "-d", restored}), 0);
    const int types = count(restored, "feltipus");
    const int salesmen = count(restored, "uzletkoto");
    EXPECT_GT(salesmen, 100);
    EXPECT_TRUE(types == salesmen || types == salesmen + 1) << types << " types, " << salesmen << " salesmen";

    // No lock of the moment it was taken came along: the restored tables take writes.
    QProcess restoredWriter;
    restoredWriter.start(NYILVEX_SQL, {restored});
    ASSERT_TRUE(restoredWriter.waitForStarted());
    restoredWriter.write("INSERT INTO uzletkoto (uzletkoto_nev) VALUES ('v');\n");
    restoredWriter.closeWriteChannel();
    ASSERT_TRUE(restoredWriter.waitForFinished());
    EXPECT_EQ(restoredWriter.exitCode(), 0) << restoredWriter.readAllStandardError().toStdString();
    EXPECT_EQ(count(restored, "uzletkoto"), salesmen + 1);
}

// A table no one can open is packed as it is, and the rest as always: a
// damaged database is when its archive is needed most.
TEST_F(Archive, ADamagedTableIsPackedAsItIs)
{
    ziptest::writeFile(native(db.path()) / "termek.DB", "nem tábla");
    const QString chosen = out.path() + "/mentes.zip";
    user.files = {chosen};
    ArchiveDatabase();
    ASSERT_EQ(user.messages(), QStringList{"Archív állomány kész."});
    const ziptest::Listing l = archived(chosen);
    ASSERT_TRUE(l.readable) << l.problem;
    ASSERT_EQ(l.members.count("termek.DB"), 1u);
    EXPECT_EQ(l.members.at("termek.DB").state, "same");
    EXPECT_EQ(l.members.count("ugyfel.DB"), 1u);
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
