// Archives one database folder with the program's ZIP writer and with
// Info-ZIP's "zip -1 -r" (the same deflate level), in one run, and prints both
// times and their ratio.
//
//   archive_bench            generates a database-like folder of about 200 MB
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
#include <random>
#include <string>

#include <unistd.h>

#include "app/archive/ZipWriter.h"

namespace fs = std::filesystem;

namespace {

// Fixed-length records in 4 KiB blocks, text fields padded with zero bytes:
// the shape of a table file.
void writeTable(const fs::path& file, std::size_t records, std::size_t recordSize, std::mt19937& rng)
{
    static const char* const kNames[] = {"Kovács", "Nagy", "Tóth", "Szabó", "Horváth", "Varga",
                                         "Kiss", "Molnár", "Németh", "Farkas", "Balogh", "Papp"};
    static const char* const kCities[] = {"Budapest", "Debrecen", "Szeged", "Miskolc", "Pécs", "Győr"};
    std::ofstream out(file, std::ios::binary);
    std::string block;
    const std::size_t perBlock = 4096 / recordSize;
    for (std::size_t r = 0; r < records; ++r) {
        std::string rec(recordSize, '\0');
        std::uint32_t key = static_cast<std::uint32_t>(r + 1) | 0x80000000u;
        for (int i = 0; i < 4; ++i)
            rec[i] = static_cast<char>(key >> (24 - 8 * i));
        std::size_t pos = 4;
        while (pos + 60 < recordSize) {
            std::string field = std::string(kNames[rng() % 12]) + " " + kCities[rng() % 6] + " " +
                                std::to_string(rng() % 100000);
            rec.replace(pos, field.size(), field);
            pos += 40 + rng() % 80;
        }
        block += rec;
        if ((r + 1) % perBlock == 0) {
            block.resize(4096, '\0');
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    block.resize(4096, '\0');
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

void generate(const fs::path& folder)
{
    std::mt19937 rng(42);
    fs::create_directories(folder);
    writeTable(folder / "ugyfel.DB", 90000, 1024, rng);
    writeTable(folder / "feladat.DB", 300000, 256, rng);
    writeTable(folder / "ceg.DB", 20000, 1024, rng);
    writeTable(folder / "ugyf_megj.MB", 40000, 512, rng);
    writeTable(folder / "ugyfel.PX", 60000, 64, rng);
    writeTable(folder / "feladat.PX", 150000, 32, rng);
    for (int i = 0; i < 40; ++i)
        writeTable(folder / ("tabla" + std::to_string(i) + ".DB"), 500, 128, rng);
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
