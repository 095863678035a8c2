#include "FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <system_error>
#include <thread>

#include "Messages.h"
#include "Schema.h"

namespace engine {

FileBuffer::FileBuffer(size_t size) : size_(size)
{
    constexpr size_t kHuge = size_t(2) << 20;
    if (size >= kHuge) {
        mapped_ = (size + kHuge - 1) / kHuge * kHuge;
        void* m = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m != MAP_FAILED) {
            madvise(m, mapped_, MADV_HUGEPAGE);
            data_ = static_cast<uint8_t*>(m);
            return;
        }
        mapped_ = 0;
    }
    data_ = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!data_) throw std::bad_alloc();
}

FileBuffer& FileBuffer::operator=(FileBuffer&& o) noexcept
{
    if (this != &o) {
        release();
        data_ = std::exchange(o.data_, nullptr);
        size_ = std::exchange(o.size_, 0);
        mapped_ = std::exchange(o.mapped_, 0);
    }
    return *this;
}

FileBuffer::~FileBuffer() { release(); }

void FileBuffer::release()
{
    if (!data_) return;
    if (mapped_)
        munmap(data_, mapped_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = mapped_ = 0;
}

namespace {

// Reads up to `n` bytes of a file from `offset` on; the count read, or -1.
ssize_t readAt(int fd, uint8_t* buf, size_t n, size_t offset)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t r = pread(fd, buf + got, n - got, off_t(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += size_t(r);
    }
    return ssize_t(got);
}

ssize_t readFromStart(int fd, uint8_t* buf, size_t n) { return readAt(fd, buf, n, 0); }

// Reads [offset, offset + n) in runs, telling `onRead` of each while its
// bytes are still in the processor's caches; the count read, or -1.
ssize_t readRegion(int fd, uint8_t* base, size_t offset, size_t n, const ReadProgress& onRead)
{
    if (!onRead) return readAt(fd, base + offset, n, offset);
    constexpr size_t kRun = size_t(1) << 20;
    size_t got = 0;
    while (got < n) {
        const size_t want = std::min(kRun, n - got);
        const ssize_t r = readAt(fd, base + offset + got, want, offset + got);
        if (r < 0) return -1;
        if (r > 0) onRead(base, offset, offset + got, offset + got + size_t(r));
        got += size_t(r);
        if (size_t(r) < want) break;
    }
    return ssize_t(got);
}

}  // namespace

Result<FileBuffer> readWholeBuffer(int fd, const std::string& path, const ReadProgress& onRead)
{
    struct stat st {};
    if (fstat(fd, &st) != 0) return msg::ioError(path, errno);
    FileBuffer out(size_t(st.st_size));
    // Most of reading a large file is the system clearing and filling fresh
    // pages: a second thread does the second half meanwhile.
    constexpr size_t kHuge = size_t(2) << 20;
    const size_t half = out.size() >= 16 * kHuge ? out.size() / 2 / kHuge * kHuge : 0;
    ssize_t second = 0;
    int secondError = 0;
    std::thread helper;
    if (half > 0) {
        try {
            helper = std::thread([&] {
                second = readRegion(fd, out.data(), half, out.size() - half, onRead);
                secondError = errno;
            });
        } catch (const std::system_error&) {
            second = readRegion(fd, out.data(), half, out.size() - half, onRead);
            secondError = errno;
        }
    }
    const size_t firstSize = half > 0 ? half : out.size();
    const ssize_t first = readRegion(fd, out.data(), 0, firstSize, onRead);
    const int firstError = errno;
    if (helper.joinable()) helper.join();
    if (first < 0) return msg::ioError(path, firstError);
    if (second < 0) return msg::ioError(path, secondError);
    // A file cut short meanwhile ends where its first part ended short.
    out.shrink(size_t(first) < firstSize ? size_t(first) : firstSize + size_t(second));
    return out;
}

Result<FileBuffer> readWholeBuffer(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return Status::error(ErrorCode::NotFound, path);
        return msg::ioError(path, errno);
    }
    Result<FileBuffer> r = readWholeBuffer(fd, path);
    ::close(fd);
    return r;
}

Result<std::vector<uint8_t>> readStart(int fd, size_t max, const std::string& path)
{
    std::vector<uint8_t> out(max);
    const ssize_t got = readFromStart(fd, out.data(), out.size());
    if (got < 0) return msg::ioError(path, errno);
    out.resize(size_t(got));
    return out;
}

Status writeExact(int fd, const void* buf, size_t n, uint64_t offset, std::string_view path)
{
    const auto* p = static_cast<const char*>(buf);
    while (n > 0) {
        const ssize_t w = pwrite(fd, p, n, off_t(offset));
        if (w < 0) {
            if (errno == EINTR) continue;
            return msg::ioError(path, errno);
        }
        p += w;
        n -= size_t(w);
        offset += uint64_t(w);
    }
    return Status::ok();
}

Result<std::vector<uint8_t>> readWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return Status::error(ErrorCode::NotFound, path);
        return msg::ioError(path, errno);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return msg::ioError(path, err);
    }
    Result<std::vector<uint8_t>> r = readStart(fd, size_t(st.st_size), path);
    ::close(fd);
    return r;
}

Status syncDirectory(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return msg::ioError(folder, errno);
    const int r = fsync(fd);
    const int err = errno;
    ::close(fd);
    if (r != 0) return msg::ioError(folder, err);
    return Status::ok();
}

Result<std::vector<std::string>> listFolder(const std::string& folder)
{
    DIR* d = opendir(folder.c_str());
    if (!d) return msg::ioError(folder, errno);
    std::vector<std::string> out;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") out.push_back(name);
    }
    closedir(d);
    return out;
}

std::optional<std::string> findEntry(const std::vector<std::string>& entries, std::string_view name)
{
    std::optional<std::string> found;
    for (const std::string& e : entries) {
        if (e == name) return e;
        if (!found && sameName(e, name)) found = e;
    }
    return found;
}

std::string joinPath(const std::string& folder, std::string_view name)
{
    std::string p = folder;
    if (!p.empty() && p.back() != '/') p += '/';
    p.append(name);
    return p;
}

}  // namespace engine
