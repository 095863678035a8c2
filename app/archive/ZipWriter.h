// ZipWriter: packs the files of a folder into one classic ZIP archive
// (PKWARE's format without ZIP64 records or spanning), Deflate level 1
// through zlib.
//
// The archive is written under a temporary name beside its target and moved
// onto the target only when its central directory is complete and synced, so
// a failed or interrupted run never leaves a half archive under the chosen
// name, and an older archive of that name survives a failure. Plain C++ (no
// Qt), so that tests and benchmarks drive it directly. Every failure is a
// zip::Error whose message is Hungarian UTF-8, ready to show to the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zip {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The operating system's reason for a failure (an errno value), in Hungarian.
std::string reason(int err);

// The classic format's ceilings. A value of 0xFFFF or 0xFFFFFFFF in a count,
// size or offset field tells readers to look for ZIP64 records, so the
// largest value we write is one less than that, for counts as for sizes and
// offsets.
inline constexpr std::uint64_t kMaxEntries = 0xFFFE;
inline constexpr std::uint64_t kMaxSize = 0xFFFFFFFEu;

// One file to store: where it is and the name it gets in the archive
// ("/"-separated, relative). `size` is the size seen when listing.
struct Member {
    std::filesystem::path file;
    std::string name;
    std::uint64_t size = 0;
};

// Every file in `folder` and its subfolders, hidden ones included, ordered by
// name. Folders are not members; a link to a file counts as that file;
// special files (pipes, sockets, devices) are not files to back up. A file
// that is the same file as `exclude` is left out.
std::vector<Member> listFolder(const std::filesystem::path& folder,
                               const std::filesystem::path& exclude);

// Refuses members that can never fit a classic archive (too many, one too
// large). Whether their sum fits is known only after compression: Writer
// checks that as it goes.
void checkLimits(const std::vector<Member>& members);

class Writer {
public:
    // Creates the temporary file beside `target`.
    explicit Writer(const std::filesystem::path& target);
    ~Writer();  // removes the temporary file unless commit() succeeded
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void add(const Member& member);
    // Writes the central directory and the end record, syncs, and replaces
    // `target` with the finished archive.
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// listFolder, checkLimits, then every member through one Writer.
void archiveFolder(const std::filesystem::path& folder, const std::filesystem::path& target);

}  // namespace zip
