#include "WriteAheadLog.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

#include "FileIo.h"
#include "Messages.h"
#include "RecordCodec.h"

namespace engine {

namespace {

constexpr char kMagic[8] = {'N', 'Y', 'X', 'W', 'A', 'L', '0', '1'};
constexpr uint32_t kRecordMagic = 0x5258594E;  // "NYXR"
constexpr size_t kRecordHead = 16;              // magic, generation, type, length
constexpr uint32_t kMaxPayload = 1u << 30;

uint32_t crc(const void* p, size_t n, uint32_t seed = 0)
{
    return uint32_t(crc32(seed, static_cast<const Bytef*>(p), uInt(n)));
}

}  // namespace

WriteAheadLog::~WriteAheadLog() { close(); }

Status WriteAheadLog::open(const std::string& path, bool create)
{
    close();
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd_ < 0) return msg::ioError(path, errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return msg::ioError(path, errno);
    if (uint64_t(st.st_size) < kHeaderSize && ftruncate(fd_, off_t(kHeaderSize)) != 0) {
        const int err = errno;
        close();
        return msg::ioError(path, err);
    }
    void* m = mmap(nullptr, kHeaderSize, PROT_READ, MAP_SHARED, fd_, 0);
    if (m == MAP_FAILED) {
        const int err = errno;
        close();
        return msg::ioError(path, err);
    }
    map_ = static_cast<const unsigned char*>(m);
    return Status::ok();
}

void WriteAheadLog::close()
{
    if (map_) munmap(const_cast<unsigned char*>(map_), kHeaderSize);
    map_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

WriteAheadLog::Header WriteAheadLog::header() const
{
    Header h;
    unsigned char buf[20];
    if (!readExact(fd_, buf, sizeof buf, 0).isOk()) return h;
    if (std::memcmp(buf, kMagic, 8) != 0 || le32(buf + 16) != crc(buf, 16)) return h;
    h.generation = le32(buf + 8);
    h.baseStamp = le32(buf + 12);
    h.valid = true;
    return h;
}

uint32_t WriteAheadLog::liveGeneration() const { return map_ ? le32(map_ + 8) : 0; }

Result<uint64_t> WriteAheadLog::size() const
{
    struct stat st {};
    if (fstat(fd_, &st) != 0) return msg::ioError(path_, errno);
    return uint64_t(st.st_size);
}

Status WriteAheadLog::reset(uint32_t generation, uint32_t baseStamp)
{
    // The new header first: readers notice the generation change at once,
    // and the records of the old generation that still follow it are
    // foreign to it; then they go.
    unsigned char buf[20];
    std::memcpy(buf, kMagic, 8);
    putLe32(buf + 8, generation);
    putLe32(buf + 12, baseStamp);
    putLe32(buf + 16, crc(buf, 16));
    if (Status s = writeExact(fd_, buf, sizeof buf, 0, path_); !s.isOk()) return s;
    if (ftruncate(fd_, off_t(kHeaderSize)) != 0) return msg::ioError(path_, errno);
    return Status::ok();
}

Status WriteAheadLog::scan(uint64_t from, uint32_t generation, std::vector<LogRecord>& out, uint64_t& validEnd) const
{
    validEnd = from;
    Result<uint64_t> sz = size();
    if (!sz.isOk()) return sz.status();
    if (*sz <= from) return Status::ok();
    std::string buf(size_t(*sz - from), '\0');
    if (Status s = readExact(fd_, buf.data(), buf.size(), from); !s.isOk()) return s;
    size_t pos = 0;
    while (buf.size() - pos >= kRecordHead + 4) {
        const auto* p = reinterpret_cast<const uint8_t*>(buf.data() + pos);
        if (le32(p) != kRecordMagic || le32(p + 4) != generation) break;
        const uint32_t len = le32(p + 12);
        if (len > kMaxPayload || buf.size() - pos < kRecordHead + len + 4) break;
        if (le32(p + kRecordHead + len) != crc(p, kRecordHead + len)) break;
        LogRecord r;
        r.type = LogType(le32(p + 8));
        r.payload.assign(buf.data() + pos + kRecordHead, len);
        pos += kRecordHead + len + 4;
        r.end = from + pos;
        out.push_back(std::move(r));
    }
    validEnd = from + pos;
    return Status::ok();
}

Status WriteAheadLog::append(uint64_t at, uint32_t generation, LogType type, std::string_view payload, uint64_t& end)
{
    std::string rec(kRecordHead + payload.size() + 4, '\0');
    auto* p = reinterpret_cast<uint8_t*>(rec.data());
    putLe32(p, kRecordMagic);
    putLe32(p + 4, generation);
    putLe32(p + 8, uint32_t(type));
    putLe32(p + 12, uint32_t(payload.size()));
    std::memcpy(p + kRecordHead, payload.data(), payload.size());
    putLe32(p + kRecordHead + payload.size(), crc(p, kRecordHead + payload.size()));
    if (Status s = writeExact(fd_, rec.data(), rec.size(), at, path_); !s.isOk()) return s;
    end = at + rec.size();
    return Status::ok();
}

Status WriteAheadLog::truncate(uint64_t length)
{
    if (ftruncate(fd_, off_t(length)) != 0) return msg::ioError(path_, errno);
    return Status::ok();
}

Status WriteAheadLog::sync()
{
    if (fdatasync(fd_) != 0) return msg::ioError(path_, errno);
    return Status::ok();
}

Status WriteAheadLog::remove()
{
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return msg::ioError(path_, errno);
    close();
    return Status::ok();
}

}  // namespace engine
