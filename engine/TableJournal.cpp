// The coordination of a table's processes: the open and write locks, the
// journal that every change goes through first, keeping up with what others
// committed, and transactions. (TableState.cpp holds the rows, indexes,
// checkpoints and restructuring.)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ByteStream.h"
#include "FileIo.h"
#include "FileLock.h"
#include "Messages.h"
#include "TableModel.h"

namespace engine {

// Opens the data file with the table's open lock, and the journal, finishing
// what a writer that died left in it.
Status TableState::openFiles(OpenMode mode)
{
    const std::string path = joinPath(folder_, dbFile_);
    const LockKind openKind = mode == OpenMode::Exclusive ? LockKind::Exclusive : LockKind::Shared;
    for (int attempt = 0;; ++attempt) {
        writable_ = true;
        dbFd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (dbFd_ < 0 && (errno == EACCES || errno == EROFS)) {
            writable_ = false;
            dbFd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (dbFd_ < 0) {
            if (errno == ENOENT) return msg::tableMissing(stem_);
            return msg::ioError(dbFile_, errno);
        }
        if (!writable_ && openKind == LockKind::Exclusive) return msg::readOnly(stem_);
        if (!lockFile(dbFd_, LockRange::Open, openKind, kOpenWaitMs)) return msg::tableInUse(stem_);
        // A restructure may have put a new file in place meanwhile.
        struct stat a {}, b {};
        if (fstat(dbFd_, &a) != 0 || stat(path.c_str(), &b) != 0 || a.st_ino != b.st_ino) {
            closeFiles();
            if (attempt > 20) return msg::tableInUse(stem_);
            continue;
        }
        exclusive_ = mode == OpenMode::Exclusive;
        if (!writable_) break;
        if (Status s = wal_.open(joinPath(folder_, fileName("WAL")), true); !s.isOk()) return s;
        if (!wal_.lockWriter(0)) break;
        bool reopen = false;
        Status s = removeLeftovers(reopen);
        wal_.unlockWriter();
        if (!s.isOk()) return s;
        if (!reopen) break;
        // A restructure was finished: its data file is a new one.
        closeFiles();
    }
    if (!writable_) {
        // A read-only folder: no journal can be kept, but one left by a
        // writer elsewhere is still read.
        const std::string wal = joinPath(folder_, fileName("WAL"));
        if (access(wal.c_str(), F_OK) == 0) (void)wal_.open(wal, false);
    }
    return Status::ok();
}

void TableState::closeFiles()
{
    wal_.close();
    if (dbFd_ >= 0) ::close(dbFd_);
    dbFd_ = -1;
}

// Finishes what a writer killed in the middle left behind: a checkpoint or a
// restructure whose journal record is complete, a torn record, files of an
// unfinished restructure. Runs holding the write lock.
Status TableState::removeLeftovers(bool& reopen)
{
    reopen = false;
    WriteAheadLog::Header h = wal_.header();
    Result<std::vector<uint8_t>> head = readStart(dbFd_, 64 * 1024, dbFile_);
    if (!head.isOk()) return head.status();
    Result<FileHeader> dbh = parseHeader(head->data(), head->size(), dbFile_);
    const uint32_t dbStamp = dbh.isOk() ? dbh->stamp : 0;
    if (wal_.damaged()) return setAsideDamaged(dbStamp);
    if (!h.valid) return wal_.reset(1, dbStamp);

    std::vector<LogRecord> recs;
    uint64_t end = 0;
    if (Status s = wal_.scan(WriteAheadLog::kHeaderSize, h.generation, recs, end); !s.isOk()) return s;
    bool pendingRenames = false;
    if (!recs.empty() && recs.back().type == LogType::Image) {
        if (!lockFile(dbFd_, LockRange::Read, LockKind::Exclusive, kWriterWaitMs)) return msg::tableInUse(stem_);
        Status s = applyImage(recs.back().payload, true, nullptr);
        unlockFile(dbFd_, LockRange::Read);
        if (!s.isOk()) return s;
        ByteReader r(recs.back().payload);
        return wal_.reset(h.generation + 1, r.u32());
    }
    if (!recs.empty() && recs.back().type == LogType::Renames) {
        pendingRenames = true;
        if (exclusive_ || lockFile(dbFd_, LockRange::Open, LockKind::Exclusive, 0)) {
            if (Status s = completeRenames(recs.back().payload); !s.isOk()) return s;
            reopen = true;
            return Status::ok();
        }
    }
    if (h.baseStamp != dbStamp && !pendingRenames) return wal_.reset(h.generation + 1, dbStamp);
    if (!pendingRenames) {
        // Temporary files of a restructure that never reached its journal record.
        Result<std::vector<std::string>> entries = listFolder(folder_);
        if (entries.isOk())
            for (const std::string& e : *entries)
                if (e.size() > stem_.size() + 5 && sameName(e.substr(0, stem_.size() + 1), stem_ + ".") &&
                    sameName(e.substr(e.size() - 4), ".tmp"))
                    ::unlink(joinPath(folder_, e).c_str());
    }
    return Status::ok();
}

// A journal found damaged is copied aside as it is and keeps what is whole
// of it (nothing, when its header is gone); the open that found it reports
// it, the next one goes on with what was kept.
Status TableState::setAsideDamaged(uint32_t dbStamp)
{
    Result<std::string> aside = wal_.setAside();
    if (!aside.isOk()) return aside.status();
    if (wal_.header().valid) {
        wal_.commit(wal_.wholeEnd());
    } else if (Status s = wal_.reset(wal_.liveGeneration() + 1, dbStamp); !s.isOk()) {
        return s;
    }
    return msg::journalSetAside(wal_.name(), *aside);
}

// A table that could not be opened leaves no journal behind that holds
// nothing, when no one else has it open.
void TableState::closeAfterFailure()
{
    if (wal_.isOpen() && dbFd_ >= 0 && wal_.liveEnd() == WriteAheadLog::kHeaderSize &&
        (exclusive_ || lockFile(dbFd_, LockRange::Open, LockKind::Exclusive, 0)) && wal_.lockWriter(0))
        (void)wal_.remove();
    closeFiles();
}

// Another process started a new generation of the journal: it finished a
// checkpoint, or set up a journal that was missing or stale. When the table
// files are still the ones the model came from (the same stamp) and the model
// holds nothing beyond them, the new generation's records apply to the model
// as it is: nothing changed, nothing is read again, and row ids stay.
bool TableState::adoptGeneration()
{
    const WriteAheadLog::Header h = wal_.header();
    if (!h.valid || !atBase_ || h.baseStamp != model_->header.stamp) return false;
    walGen_ = h.generation;
    walEnd_ = WriteAheadLog::kHeaderSize;
    imagePending_ = false;
    return true;
}

Status TableState::sync(bool always)
{
    if (reloadDue_) return reload();
    if (!wal_.isOpen() || inWrite_ || (holds_ > 0 && !always)) return Status::ok();
    const uint64_t commits = wal_.commits();
    if (commits == seenCommits_ && !always) return Status::ok();
    if (wal_.liveGeneration() != walGen_ && !adoptGeneration()) return reload();
    const uint64_t live = wal_.liveEnd();
    if (live < walEnd_) return reload();
    if (live == walEnd_) {
        seenCommits_ = commits;
        return Status::ok();
    }
    std::vector<LogRecord> recs;
    uint64_t end = 0;
    if (Status s = wal_.scan(walEnd_, walGen_, recs, end); !s.isOk()) return s;
    bool any = false;
    for (const LogRecord& r : recs) {
        // A checkpoint under way: the new generation will follow.
        if (r.type == LogType::Image || r.type == LogType::Renames) break;
        if (!replay(r, *model_).isOk()) return reload();
        walEnd_ = r.end;
        any = true;
        atBase_ = false;
    }
    seenCommits_ = commits;
    if (any) changed();
    return Status::ok();
}

Status TableState::reload()
{
    nextTag_ = std::max(nextTag_, model_->data.nextTag());
    std::unique_ptr<Model> m;
    if (!lockFile(dbFd_, LockRange::Read, LockKind::Shared, kWriterWaitMs)) return msg::tableInUse(stem_);
    Status s = loadModel(m);
    unlockFile(dbFd_, LockRange::Read);
    if (!s.isOk()) return s;
    model_ = std::move(m);
    orderCache_.assign(model_->sec.size() + 1, std::nullopt);
    reloadDue_ = false;
    changed();
    return Status::ok();
}

Result<uint64_t> TableState::versionAfterSync()
{
    if (Status s = sync(); !s.isOk()) return s;
    return version_;
}

Status TableState::beginWrite()
{
    // A transaction holds the lock, and its model is the one to change.
    if (transaction_) return Status::ok();
    if (!writable_ || !wal_.isOpen()) return msg::readOnly(stem_);
    if (!wal_.lockWriter(kWriterWaitMs)) return msg::tableInUse(stem_);
    inWrite_ = false;
    Status s = sync(true);
    // Records that are committed but were not applied can only be a
    // checkpoint left by a writer that died: finish it first.
    if (s.isOk() && (imagePending_ || wal_.liveEnd() > walEnd_)) {
        bool reopen = false;
        s = removeLeftovers(reopen);
        // Finishing it starts a new generation, which the model may simply
        // take over (it held the dead writer's checkpoint already).
        if (s.isOk()) s = wal_.liveGeneration() != walGen_ ? sync(true) : reload();
    }
    if (!s.isOk()) {
        wal_.unlockWriter();
        return s;
    }
    inWrite_ = true;
    return Status::ok();
}

void TableState::endWrite()
{
    if (transaction_) return;
    inWrite_ = false;
    if (wal_.isOpen()) wal_.unlockWriter();
}

Status TableState::log(LogType type, const std::string& payload)
{
    uint64_t end = 0;
    if (Status s = wal_.append(walEnd_, walGen_, type, payload, end, !transaction_); !s.isOk()) return s;
    walEnd_ = end;
    return Status::ok();
}

Status TableState::begin()
{
    if (transaction_) return msg::transactionOpen(stem_);
    if (Status s = beginWrite(); !s.isOk()) return s;
    transaction_ = true;
    transactionStart_ = walEnd_;
    return Status::ok();
}

Status TableState::commit()
{
    if (!transaction_) return msg::noTransaction(stem_);
    transaction_ = false;
    if (walEnd_ > transactionStart_) wal_.commit(walEnd_);
    // A checkpoint that fails here is tried again by the next write or
    // flush; the transaction is committed whatever it does.
    if (walEnd_ > kAutoCheckpointBytes) (void)checkpoint();
    endWrite();
    return Status::ok();
}

// What the transaction logged lies past the commit point and counts for no
// one; the model is read again up to that point.
Status TableState::rollback()
{
    if (!transaction_) return msg::noTransaction(stem_);
    transaction_ = false;
    Status s;
    if (walEnd_ > transactionStart_) {
        walEnd_ = transactionStart_;
        s = reload();
        // Until a reload succeeds, nothing may be read or written from a
        // model that holds changes no one else will ever see.
        reloadDue_ = !s.isOk();
    }
    endWrite();
    return s;
}

void TableState::hold() { ++holds_; }

void TableState::release() { --holds_; }

}  // namespace engine
