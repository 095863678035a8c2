// Archives one database folder with the program's ZIP writer and with
// Info-ZIP's "zip -1 -r" (the same deflate level), in one run, and prints both
// times and their ratio.
//
//   archive_bench            builds a database of about 200 MB through the engine
//   archive_bench FOLDER     archives FOLDER instead
//
// Each side runs three times, alternating, after one warm-up read of the
// folder; the best time of each counts.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include <unistd.h>

#include "app/archive/ZipWriter.h"
#include "common/Layout.h"
#include "engine/Codepage.h"
#include "engine/Database.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

// Text in the tables' own code page (Windows-1250).
std::string cp1250(const char* utf8)
{
    return *engine::utf8ToCp1250(utf8);
}

void insertRows(engine::Database& db, const char* table, int count,
                const std::function<void(engine::Record&, int)>& fill)
{
    auto t = db.openTable(table, engine::OpenMode::Exclusive);
    if (!t.isOk())
        fail(t.status().message());
    for (int i = 0; i < count; ++i) {
        engine::Record r((*t)->def().fields.size());
        fill(r, i);
        auto inserted = (*t)->insert(r);
        if (!inserted.isOk())
            fail(inserted.status().message());
    }
    if (const engine::Status s = (*t)->flush(); !s.isOk())
        fail(s.message());
}

// A database of the program's own layout written by the engine: companies,
// customers, tasks with descriptions and notes, about 200 MB of table files.
void generate(const fs::path& folder)
{
    fs::create_directories(folder);
    auto opened = engine::Database::open(folder.string());
    if (!opened.isOk())
        fail(opened.status().message());
    engine::Database& db = **opened;
    if (const engine::Status s = layout::createAll(db); !s.isOk())
        fail(s.message());

    std::mt19937 rng(42);
    const std::vector<std::string> names = {cp1250("Kovács"), cp1250("Nagy"), cp1250("Tóth"), cp1250("Szabó"),
                                            cp1250("Horváth"), cp1250("Varga"), cp1250("Kiss"), cp1250("Molnár")};
    const std::vector<std::string> given = {cp1250("Éva"), cp1250("Ödön"), cp1250("Júlia"), cp1250("Gábor"),
                                            cp1250("Zoltán"), cp1250("Ágnes")};
    const std::vector<std::string> cities = {"Budapest", "Debrecen", "Szeged", "Miskolc", cp1250("Pécs"),
                                             cp1250("Győr")};
    auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
    auto text = [](std::string s) { return engine::Value::fromText(std::move(s)); };
    auto number = [](std::int64_t v) { return engine::Value::fromInt(v); };
    const engine::Date base = engine::Date::fromYmd(2015, 1, 1);
    auto date = [&] { return engine::Value::fromDate(base.addDays(static_cast<std::int32_t>(rng() % 4000))); };

    insertRows(db, "ceg", 9000, [&](engine::Record& r, int i) {
        r[1] = text(pick(names) + " " + std::to_string(i) + " Kft.");
        r[3] = text(pick(cities));
        r[4] = text(cp1250("Fő utca ") + std::to_string(rng() % 200));
        r[8] = text("06-1-" + std::to_string(1000000 + rng() % 9000000));
    });
    insertRows(db, "ugyfel", 70000, [&](engine::Record& r, int i) {
        const std::string family = pick(names), first = pick(given);
        r[1] = text(family + " " + first);
        r[2] = text("06-30-" + std::to_string(1000000 + rng() % 9000000));
        r[6] = text("ugyfel" + std::to_string(i) + "@pelda.hu");
        r[9] = text(pick(cities));
        r[11] = text(cp1250("Kossuth utca ") + std::to_string(rng() % 300));
        r[13] = date();
        r[15] = text(family);
        r[16] = text(first);
        r[20] = number(1 + rng() % 10000);
    });
    insertRows(db, "feladat", 105000, [&](engine::Record& r, int i) {
        r[1] = date();
        r[2] = date();
        r[3] = number(1 + rng() % 70000);
        r[4] = number(1 + rng() % 4);
        r[5] = number(1 + rng() % 3);
        r[6] = text(cp1250("Ajánlat készítése, ") + std::to_string(i));
        if (i % 3 == 0)
            r[7] = text(cp1250("Visszahívni a jövő héten; az árajánlatot módosítani kell. ") + pick(names));
        r[10] = text(rng() % 4 ? "I" : "N");
    });
    insertRows(db, "ugyf_megj", 35000, [&](engine::Record& r, int) {
        r[1] = number(1 + rng() % 70000);
        r[2] = date();
        r[3] = text(cp1250("Telefonos egyeztetés"));
        r[4] = text(cp1250("A szerződés tervezetét elküldtük, válaszra várunk. ") + pick(names) + " " +
                    pick(given));
        r[5] = number(0);
    });
}

std::uint64_t folderBytes(const fs::path& folder)
{
    std::uint64_t total = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            total += e.file_size();
    return total;
}

void warmUp(const fs::path& folder)
{
    std::string buf(1 << 20, '\0');
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file())
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0) {
        }
    }
}

template <class F>
double seconds(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

int main(int argc, char** argv)
{
    std::string tmpl = (fs::temp_directory_path() / "nyx-archive-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = tmpl;
    fs::path folder = argc > 1 ? fs::path(argv[1]) : work / "Data";
    if (argc <= 1)
        generate(folder);
    folder = fs::absolute(folder);
    warmUp(folder);

    const fs::path ours = work / "ours.zip";
    const fs::path theirs = work / "theirs.zip";
    const std::string zipCommand = "cd " + quoted(folder.string()) + " && zip -1 -r -q " + quoted(theirs.string()) + " .";
    double best = 1e9, bestZip = 1e9;
    for (int run = 0; run < 3; ++run) {
        best = std::min(best, seconds([&] { zip::archiveFolder(folder, ours); }));
        fs::remove(theirs);
        bestZip = std::min(bestZip, seconds([&] {
                               if (std::system(zipCommand.c_str()) != 0)
                                   std::exit(1);
                           }));
    }
    const double mb = static_cast<double>(folderBytes(folder)) / 1e6;
    std::printf("folder:          %.1f MB\n", mb);
    std::printf("ZipWriter:       %.3f s  (%.1f MB/s), archive %.1f MB\n", best, mb / best,
                static_cast<double>(fs::file_size(ours)) / 1e6);
    std::printf("zip -1 -r:       %.3f s  (%.1f MB/s), archive %.1f MB\n", bestZip, mb / bestZip,
                static_cast<double>(fs::file_size(theirs)) / 1e6);
    std::printf("ratio (ours / zip -1): %.2f\n", best / bestZip);
    fs::remove_all(work);
    return 0;
}
