#include "ZipWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace zip {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagUtf8Name = 1 << 11;
constexpr std::uint16_t kVersionStored = 10;
constexpr std::uint16_t kVersionDeflated = 20;
// Made by: Unix (3), format version 2.0; lets unzip restore the permissions.
constexpr std::uint16_t kVersionMadeBy = (3 << 8) | 20;
constexpr std::uint32_t kDosReadOnly = 0x01;

}  // namespace

std::string reason(int err)
{
    switch (err) {
    case ENOENT: return "nem található";
    case EACCES:
    case EPERM: return "hozzáférés megtagadva";
    case ENOSPC: return "nincs elég hely a lemezen";
    case EDQUOT: return "elfogyott a lemezkvóta";
    case EROFS: return "a lemez csak olvasható";
    case EIO: return "be- és kimeneti hiba";
    case EISDIR: return "ez egy mappa";
    case ENOTDIR: return "az útvonal egy része nem mappa";
    case ENAMETOOLONG: return "túl hosszú név";
    case EMFILE:
    case ENFILE: return "túl sok megnyitott fájl";
    case EFBIG: return "túl nagy fájl";
    case EBUSY:
    case ETXTBSY: return "a fájl használatban van";
    default: return "rendszerhiba " + std::to_string(err) + ": " + std::strerror(err);
    }
}

namespace {

[[noreturn]] void fail(std::string message) { throw Error(std::move(message)); }

[[noreturn]] void failUnreadable(const fs::path& file, int err)
{
    fail("A(z) " + file.string() + " fájl nem olvasható (" + reason(err) + ").");
}

[[noreturn]] void failArchiveTooLarge()
{
    fail("Az archívum mérete meghaladná a ZIP formátum 4 GiB-os korlátját; "
         "az adatbázis nem fér el egyetlen archívumban.");
}

[[noreturn]] void failTooManyFiles(std::size_t count)
{
    fail("Az adatbázis mappájában " + std::to_string(count) +
         " fájl van; egy ZIP archívumba legfeljebb " + std::to_string(kMaxEntries) + " fájl fér, "
         "az adatbázis nem archiválható.");
}

[[noreturn]] void failMemberTooLarge(const fs::path& file, std::uint64_t size)
{
    fail("A(z) " + file.string() + " fájl mérete (" + std::to_string(size) +
         " bájt) meghaladja a ZIP formátum 4 GiB-os korlátját; az adatbázis nem archiválható.");
}

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

struct DosStamp {
    std::uint16_t time;
    std::uint16_t date;
};

// DOS date and time in local time; the format covers 1980 to 2107.
DosStamp dosStamp(std::time_t t)
{
    std::tm tm{};
    if (!localtime_r(&t, &tm) || tm.tm_year < 80)
        return {0, (1 << 5) | 1};
    if (tm.tm_year > 207)
        return {(23 << 11) | (59 << 5) | 29, (127 << 9) | (12 << 5) | 31};
    return {static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2)),
            static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday)};
}

class Bytes {
public:
    void u16(std::uint16_t v)
    {
        b_.push_back(static_cast<unsigned char>(v));
        b_.push_back(static_cast<unsigned char>(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void text(std::string_view s) { b_.insert(b_.end(), s.begin(), s.end()); }
    const unsigned char* data() const { return b_.data(); }
    std::size_t size() const { return b_.size(); }

private:
    std::vector<unsigned char> b_;
};

struct Entry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodStored;
    DosStamp stamp{};
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
    std::uint32_t externalAttributes = 0;

    std::uint16_t versionNeeded() const { return method == kMethodDeflated ? kVersionDeflated : kVersionStored; }

    // The run of fields that the local and the central header share.
    void describe(Bytes& h) const
    {
        h.u16(versionNeeded());
        h.u16(flags);
        h.u16(method);
        h.u16(stamp.time);
        h.u16(stamp.date);
        h.u32(crc);
        h.u32(compressedSize);
        h.u32(size);
        h.u16(static_cast<std::uint16_t>(name.size()));
        h.u16(0);  // extra field
    }

    Bytes localHeader() const
    {
        Bytes h;
        h.u32(kLocalSignature);
        describe(h);
        h.text(name);
        return h;
    }

    Bytes centralHeader() const
    {
        Bytes h;
        h.u32(kCentralSignature);
        h.u16(kVersionMadeBy);
        describe(h);
        h.u16(0);  // comment
        h.u16(0);  // disk
        h.u16(0);  // internal attributes
        h.u32(externalAttributes);
        h.u32(offset);
        h.text(name);
        return h;
    }
};

class InputFile {
public:
    explicit InputFile(const fs::path& path) : path_(path)
    {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            failUnreadable(path_, errno);
        if (::fstat(fd_, &st_) != 0)
            failUnreadable(path_, errno);
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~InputFile() { ::close(fd_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const struct stat& status() const { return st_; }

    std::size_t read(unsigned char* buf, std::size_t len)
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buf, len);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                failUnreadable(path_, errno);
        }
    }

    void rewind()
    {
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            failUnreadable(path_, errno);
    }

private:
    fs::path path_;
    int fd_ = -1;
    struct stat st_ {};
};

}  // namespace

std::vector<Member> listFolder(const fs::path& folder, const fs::path& exclude)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        fail("Az adatbázis mappa nem található: " + folder.string());

    struct stat excluded {};
    const bool haveExcluded = !exclude.empty() && ::stat(exclude.c_str(), &excluded) == 0;

    std::vector<Member> members;
    fs::recursive_directory_iterator it(folder, ec);
    if (ec)
        fail("A(z) " + folder.string() + " mappa nem olvasható (" + reason(ec.value()) + ").");
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::path& path = it->path();
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            // A dangling link names no file; anything else we cannot see is an error.
            struct stat link {};
            if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
                continue;
            failUnreadable(path, errno);
        }
        if (!S_ISREG(st.st_mode))
            continue;
        if (haveExcluded && st.st_dev == excluded.st_dev && st.st_ino == excluded.st_ino)
            continue;
        members.push_back({path, path.lexically_relative(folder).generic_string(),
                           static_cast<std::uint64_t>(st.st_size)});
    }
    if (ec)
        fail("Az adatbázis mappa nem olvasható végig (" + reason(ec.value()) + ").");

    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.name < b.name; });
    return members;
}

void checkLimits(const std::vector<Member>& members)
{
    if (members.size() > kMaxEntries)
        failTooManyFiles(members.size());
    for (const Member& m : members)
        if (m.size > kMaxSize)
            failMemberTooLarge(m.file, m.size);
}

struct Writer::Impl {
    fs::path target;
    std::string tempName;
    int fd = -1;
    bool committed = false;

    std::vector<unsigned char> in = std::vector<unsigned char>(kBufferSize);
    std::vector<unsigned char> out = std::vector<unsigned char>(kBufferSize);
    std::size_t pending = 0;       // bytes of `out` not yet in the file
    std::uint64_t written = 0;     // bytes in the file
    z_stream zs{};
    bool deflateReady = false;
    std::vector<Entry> entries;

    std::uint64_t position() const { return written + pending; }

    [[noreturn]] void failWrite(int err)
    {
        fail("Az archívum nem írható: " + target.string() + " (" + reason(err) + ").");
    }

    void flush()
    {
        std::size_t done = 0;
        while (done < pending) {
            const ssize_t n = ::write(fd, out.data() + done, pending - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                failWrite(errno);
            }
            done += static_cast<std::size_t>(n);
        }
        written += pending;
        pending = 0;
    }

    void emit(const unsigned char* data, std::size_t len)
    {
        while (len > 0) {
            if (pending == out.size())
                flush();
            const std::size_t n = std::min(len, out.size() - pending);
            std::memcpy(out.data() + pending, data, n);
            pending += n;
            data += n;
            len -= n;
        }
    }

    // Overwrites bytes already emitted at `pos`, wherever they are now: still
    // in the buffer or already in the file.
    void patch(std::uint64_t pos, const unsigned char* data, std::size_t len)
    {
        while (len > 0 && pos < written) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(len, written - pos));
            const ssize_t w = ::pwrite(fd, data, n, static_cast<off_t>(pos));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                failWrite(errno);
            }
            pos += static_cast<std::uint64_t>(w);
            data += w;
            len -= static_cast<std::size_t>(w);
        }
        if (len > 0)
            std::memcpy(out.data() + (pos - written), data, len);
    }

    // Drops everything emitted from `pos` on.
    void truncate(std::uint64_t pos)
    {
        if (pos >= written) {
            pending = static_cast<std::size_t>(pos - written);
            return;
        }
        pending = 0;
        if (::ftruncate(fd, static_cast<off_t>(pos)) != 0 ||
            ::lseek(fd, static_cast<off_t>(pos), SEEK_SET) < 0)
            failWrite(errno);
        written = pos;
    }

    void deflateFile(InputFile& file, const fs::path& path, Entry& entry, std::uint64_t& size)
    {
        if (!deflateReady) {
            if (deflateInit2(&zs, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
                fail("A tömörítő nem indítható (kevés a memória).");
            deflateReady = true;
        } else {
            deflateReset(&zs);
        }
        uLong crc = crc32(0, nullptr, 0);
        size = 0;
        int mode = Z_NO_FLUSH;
        while (mode != Z_FINISH) {
            const std::size_t n = file.read(in.data(), in.size());
            size += n;
            if (size > kMaxSize)
                failMemberTooLarge(path, size);
            crc = crc32_z(crc, in.data(), n);
            mode = n == 0 ? Z_FINISH : Z_NO_FLUSH;
            zs.next_in = in.data();
            zs.avail_in = static_cast<uInt>(n);
            for (;;) {
                if (pending == out.size())
                    flush();
                zs.next_out = out.data() + pending;
                zs.avail_out = static_cast<uInt>(out.size() - pending);
                const int rc = deflate(&zs, mode);
                pending = out.size() - zs.avail_out;
                if (rc == Z_STREAM_ERROR)
                    fail("Tömörítési hiba: " + path.string());
                if (mode == Z_FINISH ? rc == Z_STREAM_END : (zs.avail_in == 0 && zs.avail_out != 0))
                    break;
            }
        }
        entry.crc = static_cast<std::uint32_t>(crc);
    }

    void storeFile(InputFile& file, const fs::path& path, Entry& entry, std::uint64_t& size)
    {
        uLong crc = crc32(0, nullptr, 0);
        size = 0;
        for (;;) {
            const std::size_t n = file.read(in.data(), in.size());
            if (n == 0)
                break;
            size += n;
            if (size > kMaxSize)
                failMemberTooLarge(path, size);
            crc = crc32_z(crc, in.data(), n);
            emit(in.data(), n);
        }
        entry.crc = static_cast<std::uint32_t>(crc);
    }
};

Writer::Writer(const fs::path& target) : d(std::make_unique<Impl>())
{
    d->target = target;
    d->tempName = target.string() + ".XXXXXX";
    d->fd = ::mkostemp(d->tempName.data(), O_CLOEXEC);
    if (d->fd < 0)
        fail("Az archívum nem hozható létre: " + target.string() + " (" + reason(errno) + ").");
}

Writer::~Writer()
{
    if (d->deflateReady)
        deflateEnd(&d->zs);
    if (!d->committed) {
        if (d->fd >= 0)
            ::close(d->fd);
        ::unlink(d->tempName.c_str());
    }
}

void Writer::add(const Member& member)
{
    InputFile file(member.file);

    if (d->entries.size() >= kMaxEntries)
        failTooManyFiles(d->entries.size() + 1);
    const std::uint64_t offset = d->position();
    if (offset > kMaxSize)
        failArchiveTooLarge();

    Entry entry;
    entry.name = member.name;
    if (!isAscii(entry.name) && isUtf8(entry.name))
        entry.flags |= kFlagUtf8Name;
    entry.stamp = dosStamp(file.status().st_mtime);
    entry.offset = static_cast<std::uint32_t>(offset);
    const mode_t mode = file.status().st_mode;
    entry.externalAttributes = (static_cast<std::uint32_t>(mode & 0xFFFF) << 16) |
                               ((mode & 0222) == 0 ? kDosReadOnly : 0);

    const Bytes placeholder = entry.localHeader();
    d->emit(placeholder.data(), placeholder.size());
    const std::uint64_t dataStart = d->position();

    std::uint64_t size = 0;
    entry.method = kMethodDeflated;
    d->deflateFile(file, member.file, entry, size);
    std::uint64_t compressed = d->position() - dataStart;
    if (compressed >= size) {
        // Deflate did not pay off (empty or already compressed data): store.
        d->truncate(dataStart);
        file.rewind();
        entry.method = kMethodStored;
        d->storeFile(file, member.file, entry, size);
        compressed = d->position() - dataStart;
    }
    entry.size = static_cast<std::uint32_t>(size);
    entry.compressedSize = static_cast<std::uint32_t>(compressed);

    const Bytes header = entry.localHeader();
    d->patch(offset, header.data(), header.size());
    d->entries.push_back(std::move(entry));
}

void Writer::commit()
{
    const std::uint64_t directoryStart = d->position();
    if (directoryStart > kMaxSize)
        failArchiveTooLarge();
    for (const Entry& e : d->entries) {
        const Bytes h = e.centralHeader();
        d->emit(h.data(), h.size());
    }
    const std::uint64_t directorySize = d->position() - directoryStart;
    if (directorySize > kMaxSize)
        failArchiveTooLarge();

    Bytes end;
    end.u32(kEndSignature);
    end.u16(0);  // this disk
    end.u16(0);  // disk of the directory
    end.u16(static_cast<std::uint16_t>(d->entries.size()));
    end.u16(static_cast<std::uint16_t>(d->entries.size()));
    end.u32(static_cast<std::uint32_t>(directorySize));
    end.u32(static_cast<std::uint32_t>(directoryStart));
    end.u16(0);  // comment
    d->emit(end.data(), end.size());
    d->flush();

    // mkostemp made the file private; an archive gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(d->fd, 0666 & ~mask) != 0 || ::fsync(d->fd) != 0)
        d->failWrite(errno);
    const int fd = d->fd;
    d->fd = -1;
    if (::close(fd) != 0)
        d->failWrite(errno);
    if (::rename(d->tempName.c_str(), d->target.c_str()) != 0)
        d->failWrite(errno);
    d->committed = true;

    const int dir = ::open(d->target.parent_path().empty() ? "." : d->target.parent_path().c_str(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void archiveFolder(const fs::path& folder, const fs::path& target)
{
    const std::vector<Member> members = listFolder(folder, target);
    checkLimits(members);
    Writer writer(target);
    for (const Member& m : members)
        writer.add(m);
    writer.commit();
}

}  // namespace zip
