#include "WriteAheadLog.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <random>

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
// The writer lock is a word in the shared header: taken and given back
// without a system call. Its value names the holder's slot and the token the
// holder wrote beside its slot; each open journal holds its slot in a lock on
// a byte far past the journal's end, through its open file description, so
// that the kernel lets go of the slot with the process. A word whose slot is
// free, or held for another token, was left by a holder that ended (or came
// along in a copy of the folder) and is taken over.
constexpr size_t kWriterField = 96;
constexpr size_t kSlotTokensField = 1024;
constexpr int kSlots = int(WriteAheadLog::kHeaderSize - kSlotTokensField) / 4;
constexpr off_t kSlotLockBase = (off_t(1) << 40) + 1024;
// Earlier builds held their writer lock on this byte for one change at a
// time. Every open journal holds it shared, so such a build finds the table
// in use instead of writing beside this one.
constexpr off_t kEarlierWriterByte = (off_t(1) << 40) + 1;

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

std::atomic_ref<uint32_t> slotToken(unsigned char* map, int slot)
{
    return std::atomic_ref<uint32_t>(*reinterpret_cast<uint32_t*>(map + kSlotTokensField + size_t(slot) * 4));
}

// One byte's lock through the file description `fd`; F_UNLCK gives it back.
bool setByteLock(int fd, off_t byte, short type)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = byte;
    fl.l_len = 1;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Whether another open file description holds the byte's lock.
bool byteLockedElsewhere(int fd, off_t byte)
{
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = byte;
    fl.l_len = 1;
    // When the question cannot be asked, the holder counts as alive.
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
    return fl.l_type != F_UNLCK;
}

uint32_t freshToken()
{
    static std::mt19937 rng(std::random_device{}());
    uint32_t t = 0;
    while (t == 0) t = rng();
    return t;
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
    if (fd_ < 0) return msg::ioError(name(), errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return failOpen(errno);
    openedSize_ = uint64_t(st.st_size);
    if (openedSize_ < kHeaderSize) {
        if (!writable_) {
            close();
            return msg::corrupt(name(), "a napló csonka.");
        }
        // Blocks of the file, not holes: a full disk is told here, not by a
        // signal when the mapping is written.
        if (const int err = posix_fallocate(fd_, 0, off_t(kHeaderSize)); err != 0) return failOpen(err);
    }
    void* m = mmap(nullptr, kHeaderSize, writable_ ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd_, 0);
    if (m == MAP_FAILED) return failOpen(errno);
    map_ = static_cast<unsigned char*>(m);
    // A size recorded beyond the file's end (a damaged or cut journal) would
    // have appends written past it; the size only ever shrinks after the
    // field does, so a larger field is damage.
    if (writable_ && loadShared(map_, kCapacityField) > uint64_t(std::max<off_t>(st.st_size, off_t(kHeaderSize))))
        storeShared(map_, kCapacityField, uint64_t(std::max<off_t>(st.st_size, off_t(kHeaderSize))));
    if (writable_) takeSlot();
    return Status::ok();
}

// A slot for this open, tried from a random one on; without one (every slot
// taken, or an earlier build writing right now) this open cannot write until
// a later try finds one.
void WriteAheadLog::takeSlot()
{
    slot_ = -1;
    if (!setByteLock(fd_, kEarlierWriterByte, F_RDLCK)) return;
    const uint32_t token = freshToken();
    for (int i = 0; i < kSlots; ++i) {
        const int slot = int((token + uint32_t(i)) % uint32_t(kSlots));
        if (!setByteLock(fd_, kSlotLockBase + slot, F_WRLCK)) continue;
        slotToken(map_, slot).store(token, std::memory_order_release);
        slot_ = slot;
        writerValue_ = (uint64_t(slot) + 1) << 32 | token;
        return;
    }
}

// The holder named by a writer word no longer holds it: its slot is free, or
// taken since for another token, or the word is none this build writes.
bool WriteAheadLog::holderGone(uint64_t word) const
{
    const uint64_t slot = (word >> 32) - 1;
    if (slot >= uint64_t(kSlots)) return true;
    if (slotToken(map_, int(slot)).load(std::memory_order_acquire) != uint32_t(word)) return true;
    return !byteLockedElsewhere(fd_, kSlotLockBase + off_t(slot));
}

Status WriteAheadLog::failOpen(int err)
{
    close();
    return msg::ioError(name(), err);
}

std::string WriteAheadLog::name() const { return path_.substr(path_.rfind('/') + 1); }

bool WriteAheadLog::lockWriter(int waitMs)
{
    if (!writable_ || fd_ < 0) return false;
    std::atomic_ref<uint64_t> word(*reinterpret_cast<uint64_t*>(map_ + kWriterField));
    auto attempt = [&] {
        if (slot_ < 0) takeSlot();
        if (slot_ < 0) return false;
        uint64_t seen = 0;
        if (word.compare_exchange_strong(seen, writerValue_, std::memory_order_acq_rel)) return true;
        return holderGone(seen) && word.compare_exchange_strong(seen, writerValue_, std::memory_order_acq_rel);
    };
    // Writers hold the lock for one statement; a waiter looks every
    // millisecond, often enough to find the gaps between another writer's
    // statements.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    locked_ = attempt();
    while (!locked_ && std::chrono::steady_clock::now() < until) {
        struct timespec ts {0, 1000000L};
        nanosleep(&ts, nullptr);
        locked_ = attempt();
    }
    return locked_;
}

void WriteAheadLog::unlockWriter()
{
    if (!locked_) return;
    uint64_t mine = writerValue_;
    std::atomic_ref<uint64_t>(*reinterpret_cast<uint64_t*>(map_ + kWriterField))
        .compare_exchange_strong(mine, 0, std::memory_order_acq_rel);
    locked_ = false;
}

void WriteAheadLog::close()
{
    unlockWriter();
    slot_ = -1;
    if (map_) munmap(map_, kHeaderSize);
    if (data_) munmap(data_, mapped_);
    map_ = data_ = nullptr;
    mapped_ = 0;
    // Closing the file lets go of the slot.
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
    if (Status s = writeExact(fd_, buf, sizeof buf, 0, name()); !s.isOk()) return s;
    storeShared(map_, kEndField, kHeaderSize);
    // A journal no larger than its first growth keeps its space, so that
    // the next change (a write-through after every post) neither grows the
    // file nor makes its sync write the file's size again; a larger one
    // gives the space back.
    const bool keep = loadShared(map_, kCapacityField) <= kHeaderSize + kGrowth;
    if (!keep) storeShared(map_, kCapacityField, kHeaderSize);
    countCommit(map_, kCommitsField);
    if (!keep && ftruncate(fd_, off_t(kHeaderSize)) != 0) return msg::ioError(name(), errno);
    return Status::ok();
}

Status WriteAheadLog::scan(uint64_t from, uint32_t generation, std::vector<LogRecord>& out, uint64_t& validEnd) const
{
    validEnd = from;
    // The commit point as recorded, but never past the file's end: a
    // damaged header must not have a huge buffer asked for.
    struct stat st {};
    if (fstat(fd_, &st) != 0) return msg::ioError(name(), errno);
    const uint64_t limit = std::min(liveEnd(), uint64_t(st.st_size));
    if (limit <= from) return Status::ok();
    std::string buf(size_t(limit - from), '\0');
    // Read with pread, not through the mapping: another process may shorten
    // the file at any moment, and a short read is harmless.
    size_t got = 0;
    while (got < buf.size()) {
        const ssize_t r = pread(fd_, buf.data() + got, buf.size() - got, off_t(from + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return msg::ioError(name(), errno);
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
        if (fstat(fd_, &st) != 0) return msg::ioError(name(), errno);
        capacity = uint64_t(st.st_size);
    }
    if (end > capacity) {
        uint64_t grown = std::max(capacity * 2, capacity + kGrowth);
        while (grown < end) grown *= 2;
        // Blocks, not a hole: a full disk is told here, not by a signal when
        // the mapping is written.
        if (const int err = posix_fallocate(fd_, off_t(capacity), off_t(grown - capacity)); err != 0)
            return msg::ioError(name(), err);
        capacity = grown;
        storeShared(map_, kCapacityField, capacity);
    }
    if (end > mapped_) {
        void* m = data_ ? mremap(data_, mapped_, size_t(capacity), MREMAP_MAYMOVE)
                        : mmap(nullptr, size_t(capacity), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (m == MAP_FAILED) return msg::ioError(name(), errno);
        data_ = static_cast<unsigned char*>(m);
        mapped_ = size_t(capacity);
    }
    return Status::ok();
}

Status WriteAheadLog::append(uint64_t at, uint32_t generation, LogType type, std::string_view payload, uint64_t& end,
                             bool commit)
{
    if (!writable_) return msg::ioError(name(), EROFS);
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
    if (fdatasync(fd_) != 0) return msg::ioError(name(), errno);
    return Status::ok();
}

bool WriteAheadLog::damaged() const
{
    if (openedSize_ > 0 && openedSize_ < kHeaderSize) return true;
    const uint64_t end = loadShared(map_, kEndField);
    const Header h = header();
    if (!h.valid) {
        // A journal never written has a blank header; anything else is damage.
        for (size_t i = 0; i < kEndField + 8; ++i)
            if (map_[i] != 0) return true;
        return false;
    }
    if (end == 0) return false;
    if (end < kHeaderSize) return true;
    return wholeEnd() != end;
}

uint64_t WriteAheadLog::wholeEnd() const
{
    std::vector<LogRecord> recs;
    uint64_t validEnd = kHeaderSize;
    const Header h = header();
    if (h.valid && !scan(kHeaderSize, h.generation, recs, validEnd).isOk()) validEnd = kHeaderSize;
    return validEnd;
}

Result<std::string> WriteAheadLog::setAside() const
{
    // The file as it is, under the first free name beside it.
    std::string aside;
    int out = -1;
    for (int n = 1; out < 0 && n < 1000; ++n) {
        aside = path_ + ".serult" + (n > 1 ? std::to_string(n) : std::string());
        out = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0 && errno != EEXIST) return msg::ioError(aside.substr(aside.rfind('/') + 1), errno);
    }
    const std::string asideName = aside.substr(aside.rfind('/') + 1);
    if (out < 0) return msg::ioError(asideName, EEXIST);
    std::vector<char> buf(1 << 16);
    uint64_t at = 0;
    Status s;
    for (;;) {
        const ssize_t r = pread(fd_, buf.data(), buf.size(), off_t(at));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            s = msg::ioError(name(), errno);
            break;
        }
        if (r == 0) break;
        s = writeExact(out, buf.data(), size_t(r), at, asideName);
        if (!s.isOk()) break;
        at += uint64_t(r);
    }
    if (s.isOk() && fdatasync(out) != 0) s = msg::ioError(asideName, errno);
    ::close(out);
    if (!s.isOk()) {
        ::unlink(aside.c_str());
        return s;
    }
    return asideName;
}

Status WriteAheadLog::remove()
{
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return msg::ioError(name(), errno);
    close();
    return Status::ok();
}

}  // namespace engine
