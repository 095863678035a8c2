#include "app/archive/ZipWriter.h"

#include <gtest/gtest.h>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ZipCheck.h"

namespace fs = std::filesystem;
using namespace ziptest;

namespace {

void setLocalMtime(const fs::path& file, int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

}  // namespace

// One archive of a folder with every kind of file a database folder may hold,
// read back by two independent readers.
TEST(ZipWriter, EveryFileComesBackByteForByte)
{
    TempDir db, out;
    const fs::path f = db.path();
    writeFile(f / "ugyfel.DB", wordText(200000, 1));
    writeFile(f / "ugyfel.PX", std::string(4096, '\0'));
    writeFile(f / "nagy.MB", wordText(12 << 20, 2));    // output spans several buffers
    writeFile(f / "kep.jpg", randomBytes(3 << 20, 3));  // deflate does not pay: stored
    writeFile(f / "ures.txt", "");
    writeFile(f / ".rejtett", "hidden file");
    writeFile(f / "árvíztűrő tükörfúrógép.txt", "ékezetes név");
    writeFile(f / "Sub/belso.DB", wordText(5000, 4));
    writeFile(f / "Sub/Mely/legbelso.txt", "deep");
    fs::create_directories(f / "UresMappa");
    writeFile(f / "csakolvashato.txt", "read only");
    fs::permissions(f / "csakolvashato.txt", fs::perms::owner_read | fs::perms::group_read);
    ::mkfifo((f / "cso").c_str(), 0600);  // a pipe is no file to back up
    fs::create_symlink(f / "nincs", f / "torott_link");
    setLocalMtime(f / "ugyfel.DB", 2024, 3, 7, 10, 20, 30);

    const fs::path archive = out.path() / "20240307.zip";
    zip::archiveFolder(f, archive);

    EXPECT_TRUE(unzipAccepts(archive));
    const Listing l = readWithPython(archive, f);
    ASSERT_TRUE(l.readable) << l.problem;
    const std::vector<std::string> expected = {
        ".rejtett", "Sub/Mely/legbelso.txt", "Sub/belso.DB", "csakolvashato.txt", "kep.jpg",
        "nagy.MB", "ugyfel.DB", "ugyfel.PX", "ures.txt", "árvíztűrő tükörfúrógép.txt"};
    std::vector<std::string> names;
    for (const auto& [name, m] : l.members) {
        names.push_back(name);
        EXPECT_EQ(m.state, "same") << name;
        EXPECT_EQ(m.utf8, name == "árvíztűrő tükörfúrógép.txt") << name;
    }
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(l.unarchived.empty());
    EXPECT_EQ(l.members.at("ugyfel.DB").method, 8);
    EXPECT_EQ(l.members.at("nagy.MB").method, 8);
    EXPECT_EQ(l.members.at("kep.jpg").method, 0);
    EXPECT_EQ(l.members.at("ures.txt").method, 0);
    EXPECT_EQ(l.members.at("ugyfel.DB").stamp, "2024-03-07 10:20:30");
    EXPECT_EQ(folderEntries(out.path()), std::vector<std::string>{"20240307.zip"});
}

// The archive saved into the database folder itself, twice on one day.
TEST(ZipWriter, ArchiveInsideTheFolderLeavesItselfOutAndIsReplaced)
{
    TempDir db;
    const fs::path f = db.path();
    writeFile(f / "termek.DB", wordText(30000, 5));
    const fs::path archive = f / "20240307.zip";

    zip::archiveFolder(f, archive);
    Listing l = readWithPython(archive, f);
    ASSERT_TRUE(l.readable) << l.problem;
    EXPECT_EQ(l.members.size(), 1u);
    EXPECT_EQ(l.members.count("termek.DB"), 1u);

    writeFile(f / "termek.DB", wordText(40000, 6));
    writeFile(f / "uj.DB", "new table");
    zip::archiveFolder(f, archive);
    l = readWithPython(archive, f);
    ASSERT_TRUE(l.readable) << l.problem;
    ASSERT_EQ(l.members.size(), 2u);
    EXPECT_EQ(l.members.at("termek.DB").state, "same");
    EXPECT_EQ(l.members.at("uj.DB").state, "same");
    EXPECT_EQ(l.unarchived, std::vector<std::string>{"20240307.zip"});
    EXPECT_EQ(folderEntries(f), (std::vector<std::string>{"20240307.zip", "termek.DB", "uj.DB"}));
}

// A failure halfway leaves the older archive of that name as it was and no
// trace of the new one.
TEST(ZipWriter, FailureLeavesNoHalfArchive)
{
    TempDir db, out;
    writeFile(db.path() / "a.DB", wordText(50000, 7));
    const fs::path archive = out.path() / "mentes.zip";
    writeFile(archive, "the morning's archive");

    {
        zip::Writer w(archive);
        w.add({db.path() / "a.DB", "a.DB", 50000});
        try {
            w.add({db.path() / "eltunt.DB", "eltunt.DB", 10});
            FAIL() << "a vanished file was archived";
        } catch (const zip::Error& e) {
            EXPECT_NE(std::string(e.what()).find("eltunt.DB fájl nem olvasható (nem található)"),
                      std::string::npos)
                << e.what();
        }
    }
    EXPECT_EQ(readFile(archive), "the morning's archive");
    EXPECT_EQ(folderEntries(out.path()), std::vector<std::string>{"mentes.zip"});

    // The disk fills up (a file size limit stands in for it) while writing.
    writeFile(db.path() / "b.DB", randomBytes(1 << 20, 8));
    std::string message;
    try {
        FileSizeLimit full(256 * 1024);
        zip::archiveFolder(db.path(), archive);
    } catch (const zip::Error& e) {
        message = e.what();
    }
    EXPECT_NE(message.find("Az archívum nem írható: " + archive.string()), std::string::npos) << message;
    EXPECT_EQ(readFile(archive), "the morning's archive");
    EXPECT_EQ(folderEntries(out.path()), std::vector<std::string>{"mentes.zip"});

    try {
        zip::archiveFolder(db.path(), out.path() / "nincs" / "x.zip");
        FAIL() << "an archive in a missing folder was made";
    } catch (const zip::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Az archívum nem hozható létre"), std::string::npos) << e.what();
    }
}

// What a classic archive cannot hold is refused before anything is written.
TEST(ZipWriter, RefusesWhatAClassicArchiveCannotHold)
{
    // 65535 would be the count 0xFFFF, which readers take for a ZIP64 mark.
    std::vector<zip::Member> many(65534);
    EXPECT_NO_THROW(zip::checkLimits(many));
    many.emplace_back();
    try {
        zip::checkLimits(many);
        FAIL() << "65535 files accepted";
    } catch (const zip::Error& e) {
        EXPECT_NE(std::string(e.what()).find("65535 fájl van; egy ZIP archívumba legfeljebb 65534 fájl fér"),
                  std::string::npos)
            << e.what();
    }

    TempDir db, out;
    writeFile(db.path() / "kicsi.DB", "small");
    // A sparse file: 4.5 GiB long without using the disk.
    const fs::path big = db.path() / "Sub" / "ora.MB";
    writeFile(big, "");
    fs::resize_file(big, (9ull << 30) / 2);
    try {
        zip::archiveFolder(db.path(), out.path() / "x.zip");
        FAIL() << "a 4.5 GiB member accepted";
    } catch (const zip::Error& e) {
        EXPECT_NE(std::string(e.what()).find("ora.MB fájl mérete (4831838208 bájt) meghaladja"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(folderEntries(out.path()).empty());
}
