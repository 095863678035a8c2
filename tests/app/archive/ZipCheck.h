// Test helpers for archives: temporary folders, small files, and the verdict
// of two independent readers (Python's zipfile and Info-ZIP's unzip).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace ziptest {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& file, const std::string& bytes);
std::string readFile(const std::filesystem::path& file);
// Bytes that deflate cannot shrink.
std::string randomBytes(std::size_t n, std::uint32_t seed);
// Text of random words: compressible, but not trivially.
std::string wordText(std::size_t n, std::uint32_t seed);

struct MemberInfo {
    int method = -1;
    bool utf8 = false;
    std::string stamp;  // "yyyy-mm-dd hh:mm:ss"
    std::string state;  // "same", "differs" or "absent"
};

struct Listing {
    bool readable = false;
    std::string problem;
    std::map<std::string, MemberInfo> members;
    std::vector<std::string> unarchived;  // files of the folder that are no member
};

// What Python's zipfile reads in `archive`, compared with `folder`.
Listing readWithPython(const std::filesystem::path& archive, const std::filesystem::path& folder);
// Whether "unzip -tq" accepts the archive.
bool unzipAccepts(const std::filesystem::path& archive);
// While it lives, no file of this process may grow beyond `bytes`: a write
// past it fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t before_;
    void (*handler_)(int);
};

// Names of the entries of a folder (not recursive), sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

}  // namespace ziptest
