// WriteAheadLog: the journal beside a table (name.WAL) that makes every
// change whole or absent.
//
// A committed change is one record appended to the journal before the
// change counts as done; the table's own files are not touched then. A
// checkpoint (flush, last close) first writes the new contents of every page
// it will overwrite as one record and syncs it, then writes the pages into
// the table's files, syncs them, and starts a new generation of the journal.
// Whoever opens the table replays the records of the current generation over
// the files, so a process killed at any moment leaves either the change or
// nothing.
//
// Records are written through a shared mapping of the file, and the offset
// up to which records are complete (the commit point) is kept in the mapped
// header: a commit costs no system call, survives the process (the pages
// belong to the file), and other processes see it at once. Records past the
// commit point, or failing their checksum, do not count.
//
// The journal lives while the table is open anywhere and is removed by the
// last one to close it. The writer lock is a word in the shared header; a
// holder that ended is recognised through a lock on the journal file that
// the kernel let go of with it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace engine {

enum class LogType : uint32_t {
    Insert = 1,
    Update = 2,
    Delete = 3,
    Empty = 4,
    Image = 10,     // page contents of a checkpoint
    Renames = 11,   // files that replace the table's files in a restructure
};

struct LogRecord {
    LogType type = LogType::Insert;
    std::string payload;
    uint64_t end = 0;  // offset just past the record
};

class WriteAheadLog {
public:
    static constexpr uint64_t kHeaderSize = 4096;

    WriteAheadLog() = default;
    WriteAheadLog(const WriteAheadLog&) = delete;
    WriteAheadLog& operator=(const WriteAheadLog&) = delete;
    ~WriteAheadLog();

    // Opens (creating when missing and allowed) the journal file.
    Status open(const std::string& path, bool create);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // The file's name, without its folder.
    std::string name() const;

    struct Header {
        uint32_t generation = 0;
        uint32_t baseStamp = 0;  // stamp of the table files the records apply to
        bool valid = false;
    };
    Header header() const;
    // The generation and commit point as the last writer, in any process,
    // left them; cheap.
    uint32_t liveGeneration() const;
    uint64_t liveEnd() const;
    // A count that moves on with every commit and every new generation, in
    // any process: while it stands still, so does the journal. Costs one
    // load from the shared header.
    uint64_t commits() const
    {
        if (!map_) return 0;
        return std::atomic_ref<uint64_t>(*reinterpret_cast<uint64_t*>(map_ + kCommitsField)).load(std::memory_order_acquire);
    }

    // Starts a generation: the journal holds no records after this.
    Status reset(uint32_t generation, uint32_t baseStamp);
    // Valid records of `generation` from `from` up to the commit point, up to
    // the first foreign one; `validEnd` is where reading stopped.
    Status scan(uint64_t from, uint32_t generation, std::vector<LogRecord>& out, uint64_t& validEnd) const;
    // Appends a record at `at` (the commit point, or the end of records
    // appended since without committing) and, with `commit`, moves the
    // commit point past it. Only the holder of the table's write lock
    // appends.
    Status append(uint64_t at, uint32_t generation, LogType type, std::string_view payload, uint64_t& end,
                  bool commit = true);
    // Moves the commit point to `end`, past records appended without it:
    // they count from here on, all at once.
    void commit(uint64_t end);
    Status sync();
    Status remove();

    // Damage that a writer finds on opening: a file cut short of its header,
    // a header neither valid nor blank, a commit point before the header or
    // past the records that are whole. Looked at by the holder of the writer
    // lock only, as others may be appending.
    bool damaged() const;
    // Where the whole records of the current generation end.
    uint64_t wholeEnd() const;
    // Copies the file as it is beside itself (name.WAL.serult, or with a
    // number when taken) and gives the copy's name.
    Result<std::string> setAside() const;

    // The table's writer lock: one writer at a time in every process that
    // has the table open. Taken and given back in the shared header, without
    // a system call; a holder that ended however it ended (or that a copy of
    // the folder names) is recognised by its slot, which the kernel let go
    // of, and the next writer finds the journal as the dead writer left it.
    bool lockWriter(int waitMs);
    void unlockWriter();

private:
    static constexpr size_t kCommitsField = 80;  // in the header page, shared

    Status failOpen(int err);
    Status reserve(uint64_t end);
    void takeSlot();
    bool holderGone(uint64_t word) const;

    int fd_ = -1;
    bool writable_ = false;
    std::string path_;
    // The header page, shared with other processes.
    unsigned char* map_ = nullptr;
    unsigned char* data_ = nullptr;  // the file from its start, for appending
    size_t mapped_ = 0;
    bool locked_ = false;
    int slot_ = -1;             // this open's slot, -1 without one
    uint64_t writerValue_ = 0;  // the writer word while this open holds the lock
    uint64_t openedSize_ = 0;  // the file's size before open() gave it a header
};

}  // namespace engine
