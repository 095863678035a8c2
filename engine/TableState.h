// TableState: one open table of a Database, shared by every handle on it in
// the process: its rows as the file's blocks in memory, its memo file, its
// indexes, its journal and its locks.
//
// The locks, the journal and transactions are in TableJournal.cpp.
//
// Every change goes one way: checked, written to the journal, then applied
// in memory, where all handles see it at once. Other processes' changes are
// read from the journal (or the files, after they checkpointed) when a handle
// asks for the version, the rows or a key. A checkpoint writes what changed
// into the table's own files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BlobFile.h"
#include "BlockFile.h"
#include "Database.h"
#include "ParadoxHeader.h"
#include "RecordCodec.h"
#include "WriteAheadLog.h"

namespace engine {

class TableState {
public:
    // Opens the table whose data file is `dbFile` (its name as on disk) in
    // `folder`. `exclusive` asks that no one else has it open.
    static Result<std::shared_ptr<TableState>> open(const std::string& folder, const std::string& dbFile,
                                                    OpenMode mode);
    // Writes the files of a new, empty table named `stem`.
    static Status create(const std::string& folder, const std::string& stem, const TableDef& def);
    // Checks a definition for createTable and restructuring.
    static Status validate(std::string_view table, const TableDef& def);

    TableState(const TableState&) = delete;
    TableState& operator=(const TableState&) = delete;
    ~TableState();

    // Handle accounting within the process. The last detach writes the
    // table out when no one else anywhere has it open, and lets go of its
    // files and locks; the rows stay in memory, and reopen() takes them
    // again when the files are as they were left.
    Status attach(OpenMode mode);
    void detach(OpenMode mode);
    int handles() const { return handles_; }
    bool keptAfterClose() const;
    Status reopen(OpenMode mode);
    const std::string& dbFile() const { return dbFile_; }

    const std::string& name() const { return stem_; }
    const TableDef& def() const;

    Result<uint64_t> recordCount();
    // Costs a load from the journal's shared header while nothing was
    // committed anywhere since the last look.
    Result<uint64_t> version()
    {
        if (wal_.commits() == seenCommits_ && !reloadDue_) return version_;
        return versionAfterSync();
    }
    Result<std::vector<RowId>> rows(const OrderSpec& order);
    Result<std::optional<RowId>> findKey(const std::vector<Value>& key);
    Status read(RowId row, Record& out);
    Result<Value> readField(RowId row, int field);
    Status readFields(const std::vector<RowId>& rows, int field, std::vector<Value>& out);
    Status readTexts(const std::vector<RowId>& rows, int field, std::vector<std::string_view>& out);

    Result<RowId> insert(Record& rec);
    Status update(RowId row, const Record& rec);
    Status remove(RowId row);
    Status emptyTable();
    Status flush();
    // A transaction: the write lock is held from begin() to commit() or
    // rollback(), and the changes reach the journal's commit point together.
    Status begin();
    Status commit();
    Status rollback();
    // While held, reading shows the state committed when the first hold was
    // taken: others' later commits are not looked at (they are not kept
    // waiting). A write in this process moves on to the latest state first.
    void hold();
    void release();

    Status addField(const FieldDef& field);
    Status clearIndexes();
    Status addPrimaryIndex(const std::vector<std::string>& fields);
    Status addIndex(const IndexDef& index);

private:
    // A journal grown past this is checkpointed by the next write.
    static constexpr uint64_t kAutoCheckpointBytes = 64ull << 20;

    struct Secondary;
    struct Model;
    struct FilePlan;

    struct FileStamp {
        std::string name;
        uint64_t ino = 0;
        int64_t size = 0;
        int64_t modified = 0, changed = 0;  // in nanoseconds
        auto operator<=>(const FileStamp&) const = default;
    };

    TableState() = default;
    Status openFiles(OpenMode mode);
    void closeFiles();
    void closeAfterFailure();
    std::vector<FileStamp> fileStamps() const;

    // Models and the images of their files.
    std::unique_ptr<Model> makeModel(const TableDef& def, uint8_t blockKb, const std::vector<std::string>& entries);
    std::unique_ptr<Model> copyModel(const TableDef& def, const std::function<void(const uint8_t*, uint8_t*)>& convert,
                                     bool keepOrder);
    static void shapeSecondary(const TableDef& def, Secondary& s, const std::string& stem, size_t ordinal,
                               const std::vector<std::string>& entries);
    FileHeader dataHeader(const Model& m, uint32_t stamp) const;
    FileHeader secondaryHeader(const Model& m, const Secondary& s, uint32_t stamp) const;
    std::vector<FilePlan> fullImages(Model& m, uint32_t stamp);
    void markWritten(Model& m, const std::vector<FilePlan>& plans, uint32_t stamp);
    std::vector<std::string> indexFilesFrom(size_t firstOrdinal) const;

    // Loading and keeping up with other processes.
    Status loadModel(std::unique_ptr<Model>& out);
    // Brings the model up to what is committed; `always` looks even when the
    // commit count stood still.
    Status sync(bool always = false);
    bool adoptGeneration();
    Result<uint64_t> versionAfterSync();
    Status reload();
    Status replay(const LogRecord& r, Model& m);
    Status ensureSecondary(Model& m, Secondary& s);

    // The write path.
    Status beginWrite();
    void endWrite();
    Status log(LogType type, const std::string& payload);
    Status checkpoint();
    Status applyImage(const std::string& payload, bool toDisk,
                      std::vector<std::pair<std::string, std::vector<uint8_t>>>* files);
    Status completeRenames(const std::string& payload);
    Status rewrite(std::unique_ptr<Model> next, const std::vector<std::string>& obsolete);
    Status removeLeftovers(bool& reopen);
    Status setAsideDamaged(uint32_t dbStamp);

    // Applying changes to a model (the same code for own and replayed changes).
    uint32_t applyInsert(Model& m, const Record& rec, uint32_t reuseTag = 0);
    void applyUpdate(Model& m, uint32_t tag, const Record& rec);
    void applyRemove(Model& m, uint32_t tag);
    void applyEmpty(Model& m);
    static void secondaryRecord(const Model& m, const Secondary& s, uint32_t dbTag, std::vector<uint8_t>& out);
    void insertSecondary(Model& m, Secondary& s, uint32_t dbTag);
    void removeSecondary(Model& m, Secondary& s, uint32_t dbTag);
    void changed();

    template <class T, class Make>
    Status eachField(const BlockFile& data, const std::vector<RowId>& rows, const FieldSlot& slot,
                     std::vector<T>& out, Make&& make) const;
    Status checkRecord(Record& rec, bool forInsert);
    Result<uint32_t> liveTag(RowId row);
    std::string fileName(std::string_view ext) const;
    Status restructureAllowed();
    Status restructure(const TableDef& def, bool keepOrder, const std::function<std::vector<std::string>()>& obsolete);

    std::string folder_;
    std::string stem_;      // table name as its .DB file has it on disk
    std::string dbFile_;
    int dbFd_ = -1;
    bool writable_ = false;
    WriteAheadLog wal_;
    uint32_t walGen_ = 0;
    uint64_t walEnd_ = 0;
    uint64_t seenCommits_ = 0;  // the journal's commit count the model is up to

    std::unique_ptr<Model> model_;
    uint32_t nextTag_ = 1;   // tags stay unique across reloads, so stale row ids are not reused
    uint64_t version_ = 1;
    bool dirty_ = false;     // changes not yet checkpointed (by this process)
    bool inWrite_ = false;
    bool imagePending_ = false;  // the model holds a dead writer's checkpoint the files lack
    bool atBase_ = false;        // the model holds the table files of its stamp, no change since
    bool reloadDue_ = false;     // the model holds what a failed rollback could not take back
    bool transaction_ = false;
    uint64_t transactionStart_ = 0;  // the commit point when it began
    int handles_ = 0;
    int holds_ = 0;
    bool exclusive_ = false;
    std::vector<std::optional<std::vector<RowId>>> orderCache_;
    std::vector<FileStamp> closedStamps_;  // the files as the last close left them
    // Reused for every change, to spare an allocation each.
    std::vector<uint8_t> recBuf_, keyBuf_, xgBuf_;
};

}  // namespace engine
