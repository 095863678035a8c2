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
// nothing; a record torn by the kill fails its checksum and is ignored.
//
// The journal lives while the table is open anywhere and is removed by the
// last one to close it.
#pragma once

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

    struct Header {
        uint32_t generation = 0;
        uint32_t baseStamp = 0;  // stamp of the table files the records apply to
        bool valid = false;
    };
    Header header() const;
    // The generation as other processes last wrote it; cheap.
    uint32_t liveGeneration() const;
    Result<uint64_t> size() const;

    // Starts a generation: the journal holds no records after this.
    Status reset(uint32_t generation, uint32_t baseStamp);
    // Valid records of `generation` from `from` on, up to the first torn or
    // foreign one; `validEnd` is where that one starts.
    Status scan(uint64_t from, uint32_t generation, std::vector<LogRecord>& out, uint64_t& validEnd) const;
    Status append(uint64_t at, uint32_t generation, LogType type, std::string_view payload, uint64_t& end);
    Status truncate(uint64_t length);
    Status sync();
    Status remove();

private:
    int fd_ = -1;
    std::string path_;
    const unsigned char* map_ = nullptr;  // the header, shared with other processes
};

}  // namespace engine
