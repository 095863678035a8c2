// FileIo: whole reads and writes at an offset, directory listing without
// regard to letter case, and the other small file-system steps of the store,
// each reporting failure as a Status naming the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace engine {

// The bytes of a whole file in memory. Large buffers are not cleared first
// (they are read over at once) and ask for huge pages, which spares most of
// the cost of touching them.
class FileBuffer {
public:
    FileBuffer() = default;
    explicit FileBuffer(size_t size);
    FileBuffer(FileBuffer&& o) noexcept : data_(o.data_), size_(o.size_), mapped_(o.mapped_) { o.data_ = nullptr; o.size_ = 0; }
    FileBuffer& operator=(FileBuffer&& o) noexcept;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer();

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    void shrink(size_t size) { if (size < size_) size_ = size; }

private:
    void release();
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;  // bytes mapped, when not from the heap
};

// Called, from the thread that read them, as each run of a file's bytes
// [first, last) is in memory (`file` is where the whole file goes). A file
// may be read by more than one thread, each its own region from
// `regionStart` on, its runs in order.
using ReadProgress = std::function<void(const uint8_t* file, size_t regionStart, size_t first, size_t last)>;

Result<FileBuffer> readWholeBuffer(int fd, const std::string& path, const ReadProgress& onRead = {});
Result<FileBuffer> readWholeBuffer(const std::string& path);
// The first `max` bytes of a file (fewer if it is shorter).
Result<std::vector<uint8_t>> readStart(int fd, size_t max, const std::string& path);

Status writeExact(int fd, const void* buf, size_t n, uint64_t offset, std::string_view path);
// The whole file; a missing file gives NotFound.
Result<std::vector<uint8_t>> readWholeFile(const std::string& path);
Status syncDirectory(const std::string& folder);

// Names of the folder's entries.
Result<std::vector<std::string>> listFolder(const std::string& folder);
// The entry of `folder` whose name equals `name` without regard to letter
// case (Windows-1250), preferring an exact match.
std::optional<std::string> findEntry(const std::vector<std::string>& entries, std::string_view name);

std::string joinPath(const std::string& folder, std::string_view name);

}  // namespace engine
