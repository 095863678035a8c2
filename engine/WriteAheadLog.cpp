#include "WriteAheadLog.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "FileIo.h"
#include "Messages.h"
#include "RecordCodec.h"

namespace engine {

namespace {

constexpr char kMagic[8] = {'N', 'Y', 'X', 'W', 'A', 'L', '0', '2'};
constexpr uint32_t kRecordMagic = 0x5258594E;  // "NYXR"
constexpr size_t kRecordHead = 16;              // magic, generation, type, length
constexpr uint32_t kMaxPayload = 1u << 30;
// Shared fields of the header page, outside its checksummed part.
constexpr size_t kEndField = 64;       // commit point
constexpr size_t kCapacityField = 72;  // size the file has been given
constexpr uint64_t kGrowth = 1u << 20;
constexpr size_t kMutexReadyField = 120;  // kMutexReady once the mutex below is set up
constexpr size_t kMutexField = 128;
constexpr uint32_t kMutexReady = 0x4958544D;  // "MTXI"
static_assert(kMutexField + sizeof(pthread_mutex_t) <= 4096);

uint32_t crc(const void* p, size_t n, uint32_t seed = 0)
{
    return uint32_t(crc32(seed, static_cast<const Bytef*>(p), uInt(n)));
}

uint64_t loadShared(const unsigned char* map, size_t field)
{
    return std::atomic_ref<uint64_t>(*reinterpret_cast<uint64_t*>(const_cast<unsigned char*>(map) + field))
        .load(std::memory_order_acquire);
}

void storeShared(unsigned char* map, size_t field, uint64_t v)
{
    std::atomic_ref<uint64_t>(*reinterpret_cast<uint64_t*>(map + field)).store(v, std::memory_order_release);
}

// After the change it announces: whoever reads the new count sees the change.
void countCommit(unsigned char* map, size_t field)
{
    std::atomic_ref<uint64_t>(*reinterpret_cast<uint64_t*>(map + field)).fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace

WriteAheadLog::~WriteAheadLog() { close(); }

Status WriteAheadLog::open(const std::string& path, bool create)
{
    close();
    path_ = path;
    writable_ = true;
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd_ < 0 && !create && (errno == EACCES || errno == EROFS)) {
        writable_ = false;
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd_ < 0) return msg::ioError(path, errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return msg::ioError(path, errno);
    if (uint64_t(st.st_size) < kHeaderSize) {
        if (!writable_ || ftruncate(fd_, off_t(kHeaderSize)) != 0) {
            const int err = writable_ ? errno : EROFS;
            close();
            return msg::ioError(path, err);
        }
    }
    void* m = mmap(nullptr, kHeaderSize, writable_ ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd_, 0);
    if (m == MAP_FAILED) {
        const int err = errno;
        close();
        return msg::ioError(path, err);
    }
    map_ = static_cast<unsigned char*>(m);
    if (writable_) return initWriterLock();
    return Status::ok();
}

Status WriteAheadLog::initWriterLock()
{
    std::atomic_ref<uint32_t> ready(*reinterpret_cast<uint32_t*>(map_ + kMutexReadyField));
    if (ready.load(std::memory_order_acquire) == kMutexReady) return Status::ok();
    // Whoever comes first sets the mutex up; a file lock keeps the others out
    // meanwhile.
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(1) << 40;
    fl.l_len = 1;
    while (fcntl(fd_, F_OFD_SETLKW, &fl) != 0)
        if (errno != EINTR) return msg::ioError(path_, errno);
    Status s;
    if (ready.load(std::memory_order_acquire) != kMutexReady) {
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
        if (pthread_mutex_init(reinterpret_cast<pthread_mutex_t*>(map_ + kMutexField), &attr) != 0)
            s = msg::ioError(path_, EINVAL);
        pthread_mutexattr_destroy(&attr);
        if (s.isOk()) ready.store(kMutexReady, std::memory_order_release);
    }
    fl.l_type = F_UNLCK;
    fcntl(fd_, F_OFD_SETLK, &fl);
    return s;
}

bool WriteAheadLog::lockWriter(int waitMs)
{
    if (!writable_ || !map_) return false;
    auto* mutex = reinterpret_cast<pthread_mutex_t*>(map_ + kMutexField);
    int rc = pthread_mutex_trylock(mutex);
    if (rc == EBUSY && waitMs > 0) {
        struct timespec until {};
        clock_gettime(CLOCK_REALTIME, &until);
        until.tv_sec += waitMs / 1000;
        until.tv_nsec += long(waitMs % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        rc = pthread_mutex_timedlock(mutex, &until);
    }
    // The previous holder died: the journal tells what it left behind.
    if (rc == EOWNERDEAD) rc = pthread_mutex_consistent(mutex);
    locked_ = rc == 0;
    return locked_;
}

void WriteAheadLog::unlockWriter()
{
    if (!locked_) return;
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(map_ + kMutexField));
    locked_ = false;
}

void WriteAheadLog::close()
{
    // A held lock is linked into the thread's list of held locks; it must
    // not vanish with the mapping.
    if (map_) unlockWriter();
    if (map_) munmap(map_, kHeaderSize);
    if (data_) munmap(data_, mapped_);
    map_ = data_ = nullptr;
    mapped_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

WriteAheadLog::Header WriteAheadLog::header() const
{
    Header h;
    const unsigned char* buf = map_;
    if (std::memcmp(buf, kMagic, 8) != 0 || le32(buf + 16) != crc(buf, 16)) return h;
    h.generation = le32(buf + 8);
    h.baseStamp = le32(buf + 12);
    h.valid = true;
    return h;
}

uint32_t WriteAheadLog::liveGeneration() const { return map_ ? le32(map_ + 8) : 0; }

uint64_t WriteAheadLog::liveEnd() const
{
    const uint64_t end = map_ ? loadShared(map_, kEndField) : 0;
    return end < kHeaderSize ? kHeaderSize : end;
}

Status WriteAheadLog::reset(uint32_t generation, uint32_t baseStamp)
{
    // The new header first: readers notice the generation change at once,
    // and the records of the old generation that still follow it are foreign
    // to it. Then they go.
    // Counted before and after: a reader that looks in between looks again.
    countCommit(map_, kCommitsField);
    unsigned char buf[20];
    std::memcpy(buf, kMagic, 8);
    putLe32(buf + 8, generation);
    putLe32(buf + 12, baseStamp);
    putLe32(buf + 16, crc(buf, 16));
    if (Status s = writeExact(fd_, buf, sizeof buf, 0, path_); !s.isOk()) return s;
    storeShared(map_, kEndField, kHeaderSize);
    // A journal no larger than its first growth keeps its space, so that
    // the next change (a write-through after every post) neither grows the
    // file nor makes its sync write the file's size again; a larger one
    // gives the space back.
    const bool keep = loadShared(map_, kCapacityField) <= kHeaderSize + kGrowth;
    if (!keep) storeShared(map_, kCapacityField, kHeaderSize);
    countCommit(map_, kCommitsField);
    if (!keep && ftruncate(fd_, off_t(kHeaderSize)) != 0) return msg::ioError(path_, errno);
    return Status::ok();
}

Status WriteAheadLog::scan(uint64_t from, uint32_t generation, std::vector<LogRecord>& out, uint64_t& validEnd) const
{
    validEnd = from;
    const uint64_t limit = liveEnd();
    if (limit <= from) return Status::ok();
    std::string buf(size_t(limit - from), '\0');
    // Read with pread, not through the mapping: another process may shorten
    // the file at any moment, and a short read is harmless.
    size_t got = 0;
    while (got < buf.size()) {
        const ssize_t r = pread(fd_, buf.data() + got, buf.size() - got, off_t(from + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return msg::ioError(path_, errno);
        if (r == 0) break;
        got += size_t(r);
    }
    buf.resize(got);
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

Status WriteAheadLog::reserve(uint64_t end)
{
    uint64_t capacity = loadShared(map_, kCapacityField);
    if (capacity < kHeaderSize) {
        struct stat st {};
        if (fstat(fd_, &st) != 0) return msg::ioError(path_, errno);
        capacity = uint64_t(st.st_size);
    }
    if (end > capacity) {
        uint64_t grown = std::max(capacity * 2, capacity + kGrowth);
        while (grown < end) grown *= 2;
        if (ftruncate(fd_, off_t(grown)) != 0) return msg::ioError(path_, errno);
        capacity = grown;
        storeShared(map_, kCapacityField, capacity);
    }
    if (end > mapped_) {
        void* m = data_ ? mremap(data_, mapped_, size_t(capacity), MREMAP_MAYMOVE)
                        : mmap(nullptr, size_t(capacity), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (m == MAP_FAILED) return msg::ioError(path_, errno);
        data_ = static_cast<unsigned char*>(m);
        mapped_ = size_t(capacity);
    }
    return Status::ok();
}

Status WriteAheadLog::append(uint64_t at, uint32_t generation, LogType type, std::string_view payload, uint64_t& end,
                             bool commit)
{
    if (!writable_) return msg::ioError(path_, EROFS);
    const size_t size = kRecordHead + payload.size() + 4;
    if (Status s = reserve(at + size); !s.isOk()) return s;
    uint8_t* p = data_ + at;
    putLe32(p, kRecordMagic);
    putLe32(p + 4, generation);
    putLe32(p + 8, uint32_t(type));
    putLe32(p + 12, uint32_t(payload.size()));
    std::memcpy(p + kRecordHead, payload.data(), payload.size());
    putLe32(p + kRecordHead + payload.size(), crc(p, kRecordHead + payload.size()));
    end = at + size;
    if (commit) this->commit(end);
    return Status::ok();
}

void WriteAheadLog::commit(uint64_t end)
{
    // The records count from here on.
    storeShared(map_, kEndField, end);
    countCommit(map_, kCommitsField);
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
