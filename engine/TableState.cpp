#include "TableState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include <zlib.h>

#include "ByteStream.h"
#include "Codepage.h"
#include "Collation.h"
#include "FileIo.h"
#include "FileLock.h"
#include "Messages.h"
#include "PrimaryIndex.h"
#include "TableModel.h"

namespace engine {

namespace {

constexpr size_t kDiffUnit = 2048;

// The block size for a record size: room for at least 16 records where
// possible, so that the 65535 blocks a file may have hold many rows.
uint8_t blockKbFor(int recordSize)
{
    for (uint8_t kb : {uint8_t(4), uint8_t(8), uint8_t(16), uint8_t(32)})
        if ((int(kb) * 1024 - 6) / recordSize >= 16) return kb;
    return 32;
}

// The checksum by which a replayed change makes sure it found the row the
// writer saw. Where a memo's value lies in the memo file is left out: a
// process that found space left behind by a writer that died places values
// elsewhere, and that is no difference in the row.
uint32_t recordChecksum(const RecordLayout& layout, const uint8_t* rec)
{
    std::vector<uint8_t> copy(rec, rec + layout.recordSize());
    for (const FieldSlot& slot : layout.slots())
        if (isBlobType(slot.type)) {
            uint8_t* tail = copy.data() + slot.offset + slot.width - 10;
            std::memset(tail, 0, 4);
            std::memset(tail + 8, 0, 2);
        }
    return uint32_t(crc32(0, copy.data(), uInt(copy.size())));
}

bool indexableType(FieldType t)
{
    return !isBlobType(t) && t != FieldType::Bytes;
}

std::string fieldList(const std::vector<std::string>& fields)
{
    std::string out;
    for (const std::string& f : fields) {
        if (!out.empty()) out += ";";
        out += f;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Building models

namespace {

std::vector<KeyPart> primaryParts(const TableDef& def, const RecordLayout& layout)
{
    std::vector<KeyPart> parts;
    for (int i = 0; i < def.keyFieldCount; ++i) parts.push_back(KeyPart{layout.slot(i), false, false});
    return parts;
}

// What the rows of one data block say: whether their keys rise within it, and
// the highest auto-increment value among them. Taken while the file is read,
// when the block is still in the processor's caches; the blocks are then
// joined along the chain, where only the keys at their ends are compared.
struct BlockSurvey {
    bool taken = false;
    bool ordered = true;
    bool unique = true;
    uint16_t count = 0;
    int64_t maxAutoInc = 0;  // 0: none above zero
};

// How a data file's blocks are surveyed: its layout, as its header gives it.
struct SurveyPlan {
    size_t headerSize = 0;
    size_t blockSize = 0;
    size_t recordSize = 0;
    std::vector<KeyPart> pk;
    std::vector<FieldSlot> autoIncs;

    // How many blocks a file of `fileSize` bytes holds, when its layout is
    // one the blocks can be surveyed by (the header's own checks come later).
    size_t blocksIn(size_t fileSize) const
    {
        if (blockSize < 1024 || recordSize == 0 || recordSize > blockSize - 6 || fileSize <= headerSize) return 0;
        return std::min<size_t>(0xFFFF, (fileSize - headerSize) / blockSize);
    }

    static SurveyPlan of(const FileHeader& h)
    {
        SurveyPlan p;
        p.headerSize = h.headerSize;
        p.blockSize = size_t(h.blockSize());
        p.recordSize = h.recordSize;
        TableDef def;
        def.fields = h.fields;
        def.keyFieldCount = h.fileType == uint8_t(FileKind::KeyedData) ? h.keyFields : 0;
        const RecordLayout layout(def.fields);
        p.pk = primaryParts(def, layout);
        for (size_t i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == FieldType::AutoInc) p.autoIncs.push_back(layout.slot(int(i)));
        return p;
    }

    void survey(const uint8_t* first, size_t count, BlockSurvey& out) const
    {
        out = BlockSurvey{};
        out.taken = true;
        out.count = uint16_t(count);
        const uint8_t* prev = nullptr;
        for (const uint8_t* rec = first; rec != first + count * recordSize; rec += recordSize) {
            if (!pk.empty() && prev) {
                const int c = compareKeys(pk, prev, pk, rec);
                if (c > 0) out.ordered = false;
                if (c == 0) out.unique = false;
            }
            prev = rec;
            for (const FieldSlot& slot : autoIncs) {
                const Value v = decodeScalar(slot, rec + slot.offset);
                if (!v.isNull() && v.asInt() > out.maxAutoInc) out.maxAutoInc = v.asInt();
            }
        }
    }

    // The blocks wholly in [regionStart, last) that end after `first`, as
    // their own headers count their rows (a count no block can hold is left
    // to the chain's check).
    void surveyRead(const uint8_t* file, size_t regionStart, size_t first, size_t last,
                    std::vector<BlockSurvey>& out) const
    {
        if (out.empty() || last <= headerSize) return;
        size_t lo = regionStart <= headerSize ? 0 : (regionStart - headerSize + blockSize - 1) / blockSize;
        if (first > headerSize) lo = std::max(lo, (first - headerSize) / blockSize);
        const size_t hi = std::min(out.size(), (last - headerSize) / blockSize);
        const size_t capacity = (blockSize - 6) / recordSize;
        for (size_t b = lo; b < hi; ++b) {
            const uint8_t* block = file + headerSize + b * blockSize;
            const int addDataSize = int16_t(le16(block + 4));
            if (addDataSize < -int(recordSize) || (addDataSize + int(recordSize)) % int(recordSize) != 0) continue;
            const size_t n = size_t(addDataSize + int(recordSize)) / recordSize;
            if (n <= capacity) survey(block + 6, n, out[b]);
        }
    }
};

// The header of a data file, read ahead of its rows; empty when it cannot be
// read or parsed (the whole file's reading then says why).
std::vector<uint8_t> readHeader(int fd, const std::string& name)
{
    Result<std::vector<uint8_t>> head = readStart(fd, 4096, name);
    if (!head.isOk() || head->size() < 4) return {};
    const size_t size = le16(head->data() + 2);
    if (size > head->size()) head = readStart(fd, size, name);
    if (!head.isOk() || head->size() < size) return {};
    head->resize(size);
    return std::move(*head);
}

std::vector<FieldDef> keyDefs(const TableDef& def)
{
    return std::vector<FieldDef>(def.fields.begin(), def.fields.begin() + def.keyFieldCount);
}

}  // namespace

// ---------------------------------------------------------------------------

TableState::~TableState()
{
    wal_.close();
    if (dbFd_ >= 0) ::close(dbFd_);
}

const TableDef& TableState::def() const { return model_->def; }

std::string TableState::fileName(std::string_view ext) const { return stem_ + "." + std::string(ext); }

Status TableState::validate(std::string_view table, const TableDef& def)
{
    if (def.fields.empty() || def.fields.size() > 255) return msg::badDefinition(table, "érvénytelen mezőszám.");
    if (def.keyFieldCount < 0 || size_t(def.keyFieldCount) > def.fields.size())
        return msg::badDefinition(table, "érvénytelen kulcsmezőszám.");
    int width = 0;
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        if (f.name.empty() || f.name.size() > 25 || f.name.find('\0') != std::string::npos)
            return msg::badDefinition(table, "érvénytelen mezőnév: " + cp1250ToUtf8(f.name));
        for (size_t k = 0; k < i; ++k)
            if (sameName(def.fields[k].name, f.name)) return msg::fieldExists(table, f.name);
        switch (f.type) {
        case FieldType::Alpha:
        case FieldType::Bytes:
            if (f.size < 1 || f.size > 255) return msg::badDefinition(table, "érvénytelen mezőhossz: " + cp1250ToUtf8(f.name));
            break;
        case FieldType::Bcd:
            if (f.size < 0 || f.size > 32) return msg::badDefinition(table, "érvénytelen tizedesjegyszám: " + cp1250ToUtf8(f.name));
            break;
        case FieldType::Memo:
        case FieldType::FmtMemo:
        case FieldType::Blob:
        case FieldType::Ole:
        case FieldType::Graphic:
            if (f.size < 0 || f.size > 240) return msg::badDefinition(table, "érvénytelen memóhossz: " + cp1250ToUtf8(f.name));
            break;
        default:
            if (f.size != 0) return msg::badDefinition(table, "érvénytelen mezőhossz: " + cp1250ToUtf8(f.name));
            break;
        }
        if (int(i) < def.keyFieldCount && !indexableType(f.type))
            return msg::badDefinition(table, "ilyen típusú mező nem lehet kulcs: " + cp1250ToUtf8(f.name));
        width += RecordLayout::widthOf(f.type, f.size);
    }
    if (width > 32 * 1024 - 6) return msg::badDefinition(table, "a sor túl hosszú.");
    for (size_t i = 0; i < def.indexes.size(); ++i) {
        const IndexDef& d = def.indexes[i];
        if (d.name.empty() || d.name.size() > 25) return msg::badDefinition(table, "érvénytelen indexnév.");
        for (size_t k = 0; k < i; ++k)
            if (sameName(def.indexes[k].name, d.name)) return msg::indexExists(table, d.name);
        if (d.fields.size() != 1) return msg::badDefinition(table, "egy index egy mezőre épülhet.");
        const int f = def.fieldIndex(d.fields[0]);
        if (f < 0) return msg::fieldMissing(table, d.fields[0]);
        if (!indexableType(def.fields[size_t(f)].type))
            return msg::badDefinition(table, "ilyen típusú mezőre nem épülhet index: " + cp1250ToUtf8(d.fields[0]));
        if (def.keyFieldCount == 0) return msg::noPrimaryKey(table);
    }
    return Status::ok();
}

// Sets up a secondary's layout from its definition.
void TableState::shapeSecondary(const TableDef& def, Secondary& s, const std::string& stem, size_t ordinal,
                                const std::vector<std::string>& entries)
{
    s.field = def.fieldIndex(s.def.fields[0]);
    s.xgFields.clear();
    s.xgFields.push_back(def.fields[size_t(s.field)]);
    for (int i = 0; i < def.keyFieldCount; ++i) s.xgFields.push_back(def.fields[size_t(i)]);
    s.xgFields.push_back(FieldDef{"Hint", FieldType::Short, 0});
    s.xgLayout = RecordLayout(s.xgFields);
    s.xgKey.clear();
    s.xgKey.push_back(KeyPart{s.xgLayout.slot(0), s.def.caseInsensitive, s.def.descending});
    for (int i = 0; i < def.keyFieldCount; ++i) s.xgKey.push_back(KeyPart{s.xgLayout.slot(i + 1), false, false});
    const std::string n = std::to_string(ordinal);
    s.xgName = findEntry(entries, stem + ".XG" + n).value_or(stem + ".XG" + n);
    s.ygName = findEntry(entries, stem + ".YG" + n).value_or(stem + ".YG" + n);
}

// ---------------------------------------------------------------------------
// Opening

Result<std::shared_ptr<TableState>> TableState::open(const std::string& folder, const std::string& dbFile, OpenMode mode)
{
    std::shared_ptr<TableState> t(new TableState());
    t->folder_ = folder;
    t->dbFile_ = dbFile;
    t->stem_ = dbFile.substr(0, dbFile.size() - 3);
    if (Status s = t->openFiles(mode); !s.isOk()) {
        t->closeAfterFailure();
        return s;
    }
    std::unique_ptr<Model> m;
    if (!lockFile(t->dbFd_, LockRange::Read, LockKind::Shared, kWriterWaitMs)) {
        t->closeFiles();
        return msg::tableInUse(t->stem_);
    }
    Status s = t->loadModel(m);
    unlockFile(t->dbFd_, LockRange::Read);
    if (!s.isOk()) {
        t->closeAfterFailure();
        return s;
    }
    t->model_ = std::move(m);
    t->orderCache_.assign(t->model_->sec.size() + 1, std::nullopt);
    return t;
}

// What the table's files (all but the journal) look like on disk.
std::vector<TableState::FileStamp> TableState::fileStamps() const
{
    std::vector<FileStamp> out;
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return out;
    const std::string prefix = stem_ + ".";
    for (const std::string& e : *entries) {
        if (e.size() <= prefix.size() || !sameName(std::string_view(e).substr(0, prefix.size()), prefix) ||
            sameName(std::string_view(e).substr(prefix.size()), "WAL"))
            continue;
        struct stat st {};
        if (stat(joinPath(folder_, e).c_str(), &st) != 0) continue;
        auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
        out.push_back(FileStamp{e, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)});
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The rows kept since the last close are still the table's when its files
// are as they were left (no checkpoint, restructure or other program wrote
// them: the data file's stamp, and every file's identity, size and times,
// which the system makes fine-grained for a change after they were looked
// at) and the journal holds only changes made on top of them.
Status TableState::reopen(OpenMode mode)
{
    if (Status s = openFiles(mode); !s.isOk()) {
        closeAfterFailure();
        return s;
    }
    if (!lockFile(dbFd_, LockRange::Read, LockKind::Shared, kWriterWaitMs)) {
        closeFiles();
        return msg::tableInUse(stem_);
    }
    bool same = atBase_ && !imagePending_ && fileStamps() == closedStamps_;
    if (same) {
        Result<std::vector<uint8_t>> head = readStart(dbFd_, 64 * 1024, dbFile_);
        Result<FileHeader> h = head.isOk() ? parseHeader(head->data(), head->size(), dbFile_) : head.status();
        same = h.isOk() && h->stamp == model_->header.stamp;
    }
    if (same) {
        const uint64_t commits = wal_.commits();
        const WriteAheadLog::Header wh = wal_.header();
        same = !wh.valid || wh.baseStamp == model_->header.stamp;
        walGen_ = wh.valid ? wh.generation : 0;
        walEnd_ = WriteAheadLog::kHeaderSize;
        seenCommits_ = commits;
    }
    Status s;
    if (!same) {
        nextTag_ = std::max(nextTag_, model_->data.nextTag());
        std::unique_ptr<Model> m;
        s = loadModel(m);
        if (s.isOk()) {
            model_ = std::move(m);
            orderCache_.assign(model_->sec.size() + 1, std::nullopt);
            changed();
        }
    }
    unlockFile(dbFd_, LockRange::Read);
    // Changes others committed meanwhile.
    if (s.isOk() && same) s = sync(true);
    if (!s.isOk()) closeAfterFailure();
    return s;
}

Status TableState::loadModel(std::unique_ptr<Model>& out)
{
    // Counted first: whatever is committed after this is looked at again.
    const uint64_t commits = wal_.commits();
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return entries.status();
    // The header first, so that the rows are surveyed as they come in.
    const std::vector<uint8_t> head = readHeader(dbFd_, dbFile_);
    std::vector<BlockSurvey> surveys;
    SurveyPlan plan;
    ReadProgress onRead;
    struct stat st {};
    if (Result<FileHeader> early = parseHeader(head.data(), head.size(), dbFile_);
        early.isOk() && fstat(dbFd_, &st) == 0) {
        plan = SurveyPlan::of(*early);
        surveys.resize(plan.blocksIn(size_t(st.st_size)));
        onRead = [&](const uint8_t* file, size_t regionStart, size_t first, size_t last) {
            plan.surveyRead(file, regionStart, first, last, surveys);
        };
    }
    Result<FileBuffer> db = readWholeBuffer(dbFd_, dbFile_, onRead);
    if (!db.isOk()) return db.status();
    const bool surveyed =
        !head.empty() && db->size() >= head.size() && std::memcmp(db->data(), head.data(), head.size()) == 0;

    auto m = std::make_unique<Model>();
    m->mbName = findEntry(*entries, stem_ + ".MB").value_or(fileName("MB"));
    m->pxName = findEntry(*entries, stem_ + ".PX").value_or(fileName("PX"));
    std::vector<uint8_t> mbBytes;
    bool mbPresent = false;
    if (Result<std::vector<uint8_t>> mb = readWholeFile(joinPath(folder_, m->mbName)); mb.isOk()) {
        mbBytes = std::move(*mb);
        mbPresent = true;
    }

    // The journal of the current generation.
    std::vector<LogRecord> recs;
    uint32_t gen = 0;
    uint64_t end = WriteAheadLog::kHeaderSize;
    WriteAheadLog::Header wh;
    if (wal_.isOpen()) {
        wh = wal_.header();
        if (wh.valid) {
            gen = wh.generation;
            if (Status s = wal_.scan(WriteAheadLog::kHeaderSize, gen, recs, end); !s.isOk()) return s;
        }
    }

    // A checkpoint whose writer died after recording it: its pages count.
    // (Index files are read later; the first write puts the pages into them.)
    bool imageApplied = false;
    if (!recs.empty() && recs.back().type == LogType::Image) {
        std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
        files.emplace_back(dbFile_, std::vector<uint8_t>(db->data(), db->data() + db->size()));
        files.emplace_back(m->mbName, std::move(mbBytes));
        if (Status s = applyImage(recs.back().payload, false, &files); !s.isOk()) return s;
        FileBuffer patched(files[0].second.size());
        std::memcpy(patched.data(), files[0].second.data(), files[0].second.size());
        *db = std::move(patched);
        mbBytes = std::move(files[1].second);
        mbPresent = mbPresent || !mbBytes.empty();
        imageApplied = true;
    }

    Result<FileHeader> h = parseHeader(db->data(), db->size(), dbFile_);
    if (!h.isOk()) return h.status();
    if (h->fileType != uint8_t(FileKind::KeyedData) && h->fileType != uint8_t(FileKind::UnkeyedData))
        return msg::corrupt(dbFile_, "nem adattábla.");
    if (h->encryption != 0)
        return Status::error(ErrorCode::Unsupported, "A(z) " + cp1250ToUtf8(dbFile_) + " tábla titkosított; nem nyitható meg.");
    // The secondary index files named by the table (or, for tables written
    // elsewhere, found beside it).
    std::vector<IndexDef> defs;
    if (h->hasIndexCatalog) {
        defs = h->indexCatalog;
    } else {
        for (int n = 0; n < 64; ++n) {
            const auto xg = findEntry(*entries, stem_ + ".XG" + std::to_string(n));
            if (!xg) break;
            Result<std::vector<uint8_t>> bytes = readWholeFile(joinPath(folder_, *xg));
            if (!bytes.isOk()) break;
            Result<FileHeader> xh = parseHeader(bytes->data(), bytes->size(), *xg);
            if (!xh.isOk() || xh->indexFieldNumber == 0 || xh->indexFieldNumber > h->fields.size()) break;
            IndexDef d;
            d.name = xh->indexName.empty() ? ("XG" + std::to_string(n)) : xh->indexName;
            d.fields = {h->fields[size_t(xh->indexFieldNumber - 1)].name};
            d.descending = xh->descending == 0x11;
            d.caseInsensitive = xh->caseless == 1;
            defs.push_back(d);
        }
    }
    m->header = *h;
    m->def.fields = h->fields;
    m->def.keyFieldCount = h->fileType == uint8_t(FileKind::KeyedData) ? h->keyFields : 0;
    if (m->def.keyFieldCount == 0 && h->fileType == uint8_t(FileKind::KeyedData)) m->def.keyFieldCount = 0;
    m->layout = RecordLayout(m->def.fields);
    m->pk = primaryParts(m->def, m->layout);
    for (const FieldDef& f : m->def.fields)
        if (isBlobType(f.type)) m->hasBlobs = true;
    m->tagBase = nextTag_;
    if (Status s = m->data.load(std::move(*db), *h, nextTag_, dbFile_); !s.isOk()) return s;
    // The block index written with these files must name the blocks the chain
    // holds; it is kept, as the next checkpoint writes its changes into it.
    // (A missing one is written whole by that checkpoint; one older than a
    // checkpoint image just applied is rewritten by it.)
    if (m->def.keyFieldCount > 0 && !imageApplied) {
        Result<std::vector<uint8_t>> px = readWholeFile(joinPath(folder_, m->pxName));
        if (px.isOk()) {
            if (Status s = checkBlockIndex(*px, m->data, keyDefs(m->def), m->pxName, dbFile_); !s.isOk()) return s;
            m->pxDisk = std::move(*px);
            m->pxRead = true;
        }
    }
    if (m->hasBlobs) {
        if (mbPresent) {
            m->mbDiskSize = mbBytes.size();
            if (Status s = m->blobs.load(std::move(mbBytes), m->mbName); !s.isOk()) return s;
        } else {
            m->blobs.initEmpty();
        }
    }
    m->rewriteNeeded = buildHeader(h.value()).size() != h->headerSize;

    // Secondary indexes whose field no longer exists are dropped from the definition.
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].fields.size() != 1 || m->def.fieldIndex(defs[i].fields[0]) < 0 || m->def.keyFieldCount == 0)
            continue;
        m->def.indexes.push_back(defs[i]);
        Secondary s;
        s.def = defs[i];
        shapeSecondary(m->def, s, stem_, m->sec.size(), *entries);
        m->sec.push_back(std::move(s));
    }

    // Along the chain: whether a keyed table's rows stand in key order, and
    // the highest auto-increment value, which the next one follows whatever
    // the header says. Blocks surveyed as they were read are only joined at
    // their ends; surveys of other bytes than these (a header that differs
    // from the file read after it, a checkpoint image applied since) are
    // taken again here.
    if (!surveyed || imageApplied) surveys.assign(surveys.size(), BlockSurvey{});
    plan = SurveyPlan::of(*h);
    const bool keyed = m->def.keyFieldCount > 0;
    const size_t recordSize = size_t(m->data.recordSize());
    const uint8_t* prev = nullptr;
    bool ordered = true;
    bool unique = true;
    m->data.forEachBlock([&](uint16_t blockNo, const uint8_t* first, uint16_t count) {
        BlockSurvey here;
        BlockSurvey& s = blockNo <= surveys.size() ? surveys[blockNo - 1] : here;
        if (!s.taken || s.count != count) plan.survey(first, count, s);
        if (keyed && prev) {
            const int c = compareKeys(m->pk, prev, m->pk, first);
            if (c > 0) ordered = false;
            if (c == 0) unique = false;
        }
        ordered = ordered && s.ordered;
        unique = unique && s.unique;
        prev = first + (count - 1) * recordSize;
        if (s.maxAutoInc > int64_t(m->header.autoInc)) m->header.autoInc = uint32_t(s.maxAutoInc);
    });
    // Rows of a keyed table must stand in key order; a file written under
    // another order (or damaged) is put in order here, and written so.
    if (keyed && (!ordered || !unique)) {
        std::vector<uint32_t> tags = m->data.tagsInOrder();
        std::stable_sort(tags.begin(), tags.end(), [&](uint32_t a, uint32_t b) {
            return compareKeys(m->pk, m->data.record(a), m->pk, m->data.record(b)) < 0;
        });
        for (size_t i = 1; i < tags.size(); ++i)
            if (compareKeys(m->pk, m->data.record(tags[i - 1]), m->pk, m->data.record(tags[i])) == 0)
                return msg::corrupt(dbFile_, "ismétlődő kulcsú sorok.");
        BlockFile sorted;
        sorted.initEmpty(m->data.recordSize(), m->data.blockSize(), m->data.nextTag());
        for (uint32_t t : tags) sorted.append(m->data.record(t));
        sorted.markAllDirty();
        m->tagBase = m->data.nextTag();
        m->data = std::move(sorted);
        dirty_ = true;
    }
    nextTag_ = m->data.nextTag();

    // Replay the changes recorded since the files were written.
    bool replayed = false;
    if (!imageApplied && wh.valid && wh.baseStamp == m->header.stamp) {
        for (const LogRecord& r : recs) {
            if (r.type == LogType::Image || r.type == LogType::Renames) break;
            if (Status s = replay(r, *m); !s.isOk()) return s;
            replayed = true;
        }
    }
    walGen_ = gen;
    walEnd_ = end;
    // A checkpoint whose writer died is in the model now; the first write
    // puts it into the files.
    imagePending_ = imageApplied;
    atBase_ = !replayed;
    seenCommits_ = commits;
    out = std::move(m);
    return Status::ok();
}

// ---------------------------------------------------------------------------
// Secondary indexes

// The index record of a row: the indexed field, the key, the row's block.
void TableState::secondaryRecord(const Model& m, const Secondary& s, uint32_t dbTag, std::vector<uint8_t>& out)
{
    out.resize(size_t(s.xgLayout.recordSize()));
    const uint8_t* rec = m.data.record(dbTag);
    const FieldSlot& fs = m.layout.slot(s.field);
    size_t off = 0;
    std::memcpy(out.data(), rec + fs.offset, size_t(fs.width));
    off += size_t(fs.width);
    for (const KeyPart& p : m.pk) {
        std::memcpy(out.data() + off, rec + p.slot.offset, size_t(p.slot.width));
        off += size_t(p.slot.width);
    }
    putIndexShort(out.data() + off, m.data.locate(dbTag).block);
}

Status TableState::ensureSecondary(Model& m, Secondary& s)
{
    if (s.ready) return Status::ok();
    const uint32_t base = 1;
    bool trusted = false;
    FileBuffer bytes;
    if (!s.mustSort && !imagePending_) {
        // Read while no checkpoint writes into the file.
        if (!lockFile(dbFd_, LockRange::Read, LockKind::Shared, kWriterWaitMs)) return msg::tableInUse(stem_);
        Result<FileBuffer> b = readWholeBuffer(joinPath(folder_, s.xgName));
        unlockFile(dbFd_, LockRange::Read);
        if (b.isOk()) bytes = std::move(*b);
    }
    if (bytes.size() > 0) {
        Result<FileHeader> xh = parseHeader(bytes.data(), bytes.size(), s.xgName);
        trusted = xh.isOk() && xh->stamp == m.header.stamp && xh->numRecords == m.data.recordCount() &&
                  xh->sortOrderName == collationId() && xh->recordSize == s.xgLayout.recordSize() &&
                  xh->fields.size() == s.xgFields.size() && (xh->caseless == 1) == s.def.caseInsensitive &&
                  (xh->descending == 0x11) == s.def.descending;
        if (trusted)
            for (size_t i = 0; i < s.xgFields.size(); ++i)
                if (xh->fields[i].type != s.xgFields[i].type || xh->fields[i].size != s.xgFields[i].size)
                    trusted = false;
        if (trusted) {
            BlockFile xg;
            const bool sameHeader = buildHeader(secondaryHeader(m, s, xh->stamp)).size() == xh->headerSize;
            trusted = xg.load(std::move(bytes), *xh, base, s.xgName).isOk();
            // Blocks of a file laid out differently are all written anew.
            if (!sameHeader) xg.markAllDirty();
            if (trusted) {
                s.xgToDb.assign(xg.nextTag() - base, 0);
                s.dbToXg.clear();
                const uint8_t* prev = nullptr;
                const RecordLayout& dl = m.layout;
                const std::vector<KeyPart> pkInXg(s.xgKey.begin() + 1, s.xgKey.end());
                xg.forEach([&](uint32_t xt, const uint8_t* xr) {
                    if (!trusted) return;
                    if (prev && compareKeys(s.xgKey, prev, s.xgKey, xr) >= 0) trusted = false;
                    prev = xr;
                    auto probe = [&](const uint8_t* rec) { return compareKeys(pkInXg, xr, m.pk, rec); };
                    BlockFile::Position p = m.data.lowerBound(probe);
                    RecordLoc loc;
                    if (!m.data.recordAtPosition(p, loc) || probe(m.data.recordAt(loc)) != 0) {
                        trusted = false;
                        return;
                    }
                    const uint32_t dbTag = m.data.tagAt(loc);
                    uint32_t& back = m.dbToXg(s, dbTag);
                    if (back != 0 ||
                        std::memcmp(xr, m.data.recordAt(loc) + dl.slot(s.field).offset, size_t(dl.slot(s.field).width)) != 0) {
                        trusted = false;
                        return;
                    }
                    back = xt;
                    s.xgToDb[xt - base] = dbTag;
                });
            }
            if (trusted) s.xg = std::move(xg);
        }
    }
    if (!trusted) {
        // Build from the rows: sort keys once, then fill the blocks in order.
        std::vector<uint32_t> tags = m.data.tagsInOrder();
        const FieldSlot& fs = m.layout.slot(s.field);
        // Texts are ranked: each distinct one gets its collation key once
        // (names repeat), and rows compare by the rank of their text.
        std::vector<uint32_t> rank;
        if (fs.type == FieldType::Alpha) {
            std::unordered_map<std::string_view, uint32_t> distinct;
            std::vector<std::string_view> texts;
            rank.reserve(tags.size());
            for (uint32_t t : tags) {
                const auto [it, fresh] = distinct.try_emplace(alphaText(fs, m.data.record(t)), uint32_t(texts.size()));
                if (fresh) texts.push_back(it->first);
                rank.push_back(it->second);
            }
            std::vector<std::string> keys;
            keys.reserve(texts.size());
            for (std::string_view text : texts)
                keys.push_back(text.empty() ? std::string() : std::string(1, '\x01') +
                                   (s.def.caseInsensitive ? caselessSortKey(text) : sortKey(text)));
            std::vector<uint32_t> byKey(texts.size());
            std::iota(byKey.begin(), byKey.end(), 0);
            std::sort(byKey.begin(), byKey.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
            std::vector<uint32_t> rankOf(texts.size());
            for (size_t r = 0; r < byKey.size(); ++r)
                rankOf[byKey[r]] = r > 0 && keys[byKey[r]] == keys[byKey[r - 1]] ? rankOf[byKey[r - 1]] : uint32_t(r);
            for (uint32_t& r : rank) r = rankOf[r];
        }
        std::vector<uint32_t> order(tags.size());
        std::iota(order.begin(), order.end(), 0);
        auto cmp = [&](uint32_t a, uint32_t b) {
            int c;
            if (fs.type == FieldType::Alpha)
                c = rank[a] < rank[b] ? -1 : rank[a] > rank[b] ? 1 : 0;
            else
                c = std::memcmp(m.data.record(tags[a]) + fs.offset, m.data.record(tags[b]) + fs.offset, size_t(fs.width));
            if (c != 0) return s.def.descending ? c > 0 : c < 0;
            return false;  // equal keys keep primary order
        };
        std::stable_sort(order.begin(), order.end(), cmp);
        s.xg.initEmpty(s.xgLayout.recordSize(), int(blockKbFor(s.xgLayout.recordSize())) * 1024, base);
        s.xgToDb.clear();
        s.dbToXg.clear();
        std::vector<uint8_t>& xr = xgBuf_;
        for (uint32_t i : order) {
            const uint32_t dbTag = tags[i];
            secondaryRecord(m, s, dbTag, xr);
            const uint32_t xt = s.xg.append(xr.data());
            s.xgToDb.push_back(dbTag);
            m.dbToXg(s, dbTag) = xt;
        }
        s.xg.markAllDirty();
    }
    s.ready = true;
    s.mustSort = false;
    return Status::ok();
}

void TableState::insertSecondary(Model& m, Secondary& s, uint32_t dbTag)
{
    if (!s.ready) {
        s.mustSort = true;
        return;
    }
    std::vector<uint8_t>& xr = xgBuf_;
    secondaryRecord(m, s, dbTag, xr);
    const auto pos = s.xg.lowerBound([&](const uint8_t* r) { return compareKeys(s.xgKey, xr.data(), s.xgKey, r); });
    const uint32_t xt = s.xg.insert(pos, xr.data());
    if (s.xgToDb.size() < xt) s.xgToDb.resize(xt, 0);
    s.xgToDb[xt - 1] = dbTag;
    m.dbToXg(s, dbTag) = xt;
}

void TableState::removeSecondary(Model& m, Secondary& s, uint32_t dbTag)
{
    if (!s.ready) {
        s.mustSort = true;
        return;
    }
    uint32_t& xt = m.dbToXg(s, dbTag);
    if (xt && s.xg.live(xt)) {
        s.xg.remove(xt);
        s.xgToDb[xt - 1] = 0;
    }
    xt = 0;
}

// ---------------------------------------------------------------------------
// Applying changes

uint32_t TableState::applyInsert(Model& m, const Record& rec, uint32_t reuseTag)
{
    // Every byte of the record is written below.
    std::vector<uint8_t>& buf = recBuf_;
    buf.resize(size_t(m.layout.recordSize()));
    for (size_t i = 0; i < m.def.fields.size(); ++i) {
        const FieldSlot& slot = m.layout.slot(int(i));
        if (isBlobType(slot.type))
            m.blobs.write(slot, rec[i].isNull() ? std::string() : rec[i].asText(), buf.data() + slot.offset);
        else
            encodeScalar(slot, rec[i], buf.data() + slot.offset);
        if (slot.type == FieldType::AutoInc && !rec[i].isNull() && rec[i].asInt() > int64_t(m.header.autoInc))
            m.header.autoInc = uint32_t(rec[i].asInt());
    }
    BlockFile::Position pos = m.def.keyFieldCount > 0
        ? m.data.lowerBound([&](const uint8_t* r) { return compareKeys(m.pk, buf.data(), m.pk, r); })
        : m.data.endPosition();
    const uint32_t tag = m.data.insert(pos, buf.data(), reuseTag);
    for (Secondary& s : m.sec) insertSecondary(m, s, tag);
    return tag;
}

void TableState::applyRemove(Model& m, uint32_t tag)
{
    for (Secondary& s : m.sec) removeSecondary(m, s, tag);
    const uint8_t* rec = m.data.record(tag);
    for (size_t i = 0; i < m.def.fields.size(); ++i) {
        const FieldSlot& slot = m.layout.slot(int(i));
        if (isBlobType(slot.type)) m.blobs.release(slot, rec + slot.offset);
    }
    m.data.remove(tag);
}

void TableState::applyUpdate(Model& m, uint32_t tag, const Record& rec)
{
    const uint8_t* old = m.data.record(tag);
    std::vector<uint8_t> buf(size_t(m.layout.recordSize()), 0);
    for (size_t i = 0; i < m.def.fields.size(); ++i) {
        const FieldSlot& slot = m.layout.slot(int(i));
        uint8_t* field = buf.data() + slot.offset;
        if (isBlobType(slot.type)) {
            Result<std::string> before = m.blobs.read(slot, old + slot.offset, m.mbName);
            const std::string now = rec[i].isNull() ? std::string() : rec[i].asText();
            if (before.isOk() && *before == now) {
                std::memcpy(field, old + slot.offset, size_t(slot.width));
            } else {
                m.blobs.release(slot, old + slot.offset);
                m.blobs.write(slot, now, field);
            }
        } else {
            encodeScalar(slot, rec[i], field);
        }
        if (slot.type == FieldType::AutoInc && !rec[i].isNull() && rec[i].asInt() > int64_t(m.header.autoInc))
            m.header.autoInc = uint32_t(rec[i].asInt());
    }
    std::vector<bool> secChanged(m.sec.size(), false);
    bool keyChanged = false;
    for (const KeyPart& p : m.pk)
        if (std::memcmp(old + p.slot.offset, buf.data() + p.slot.offset, size_t(p.slot.width)) != 0) keyChanged = true;
    for (size_t i = 0; i < m.sec.size(); ++i) {
        const FieldSlot& fs = m.layout.slot(m.sec[i].field);
        secChanged[i] = keyChanged || std::memcmp(old + fs.offset, buf.data() + fs.offset, size_t(fs.width)) != 0;
        if (secChanged[i]) removeSecondary(m, m.sec[i], tag);
    }
    if (keyChanged) {
        m.data.remove(tag);
        const BlockFile::Position pos =
            m.data.lowerBound([&](const uint8_t* r) { return compareKeys(m.pk, buf.data(), m.pk, r); });
        m.data.insert(pos, buf.data(), tag);
    } else {
        m.data.overwrite(tag, buf.data());
    }
    for (size_t i = 0; i < m.sec.size(); ++i)
        if (secChanged[i]) insertSecondary(m, m.sec[i], tag);
}

void TableState::applyEmpty(Model& m)
{
    m.data.clear();
    if (m.hasBlobs) {
        m.blobs.initEmpty();
        m.blobs.markAllDirty();
    }
    for (Secondary& s : m.sec) {
        s.xg.initEmpty(s.xgLayout.recordSize(), int(blockKbFor(s.xgLayout.recordSize())) * 1024, 1);
        s.xgToDb.clear();
        s.dbToXg.clear();
        s.ready = true;
        s.mustSort = false;
    }
}

Status TableState::replay(const LogRecord& r, Model& m)
{
    ByteReader in(r.payload);
    auto readRecord = [&](Record& rec) {
        rec.clear();
        const uint32_t n = in.u32();
        if (!in.ok() || n != m.def.fields.size()) return false;
        for (uint32_t i = 0; i < n; ++i) rec.push_back(in.value());
        return in.ok();
    };
    // Changes name their row by place (block and index), which is the same in
    // every process that applied the same changes; the checksum makes sure.
    auto target = [&](uint32_t& tag) {
        const RecordLoc loc{in.u16(), in.u16()};
        const uint32_t crc = in.u32();
        if (!in.ok() || !m.data.holds(loc)) return false;
        tag = m.data.tagAt(loc);
        return crc == recordChecksum(m.layout, m.data.recordAt(loc));
    };
    Record rec;
    switch (r.type) {
    case LogType::Insert:
        if (!readRecord(rec) || !m.data.canGrow()) break;
        applyInsert(m, rec);
        return Status::ok();
    case LogType::Update: {
        uint32_t tag = 0;
        if (!target(tag) || !readRecord(rec)) break;
        applyUpdate(m, tag, rec);
        return Status::ok();
    }
    case LogType::Delete: {
        uint32_t tag = 0;
        if (!target(tag)) break;
        applyRemove(m, tag);
        return Status::ok();
    }
    case LogType::Empty:
        applyEmpty(m);
        return Status::ok();
    default:
        return Status::ok();
    }
    return msg::corrupt(wal_.path().substr(wal_.path().rfind('/') + 1), "a napló nem illik a táblához.");
}

// ---------------------------------------------------------------------------
// Images of the files

// What a checkpoint or restructure writes into one file: pieces at offsets,
// pointing into the table's blocks or into bytes the plan holds itself.
struct TableState::FilePlan {
    struct Write {
        uint64_t offset;
        const uint8_t* data;
        size_t len;
    };
    std::string name;
    uint64_t size = 0;
    std::vector<Write> writes;
    // Held through pointers, so that the pieces stay where they are when the
    // plan moves.
    std::vector<std::unique_ptr<std::vector<uint8_t>>> owned;

    void add(uint64_t offset, const uint8_t* data, size_t len) { writes.push_back(Write{offset, data, len}); }
    const std::vector<uint8_t>& own(uint64_t offset, std::vector<uint8_t> bytes)
    {
        owned.push_back(std::make_unique<std::vector<uint8_t>>(std::move(bytes)));
        add(offset, owned.back()->data(), owned.back()->size());
        return *owned.back();
    }
    // Writes pieces into a file, neighbouring pieces in one call.
    static Status writePieces(int fd, const std::vector<Write>& pieces, const std::string& name)
    {
        size_t i = 0;
        while (i < pieces.size()) {
            std::vector<iovec> iov;
            const uint64_t start = pieces[i].offset;
            uint64_t next = start;
            size_t total = 0;
            while (i < pieces.size() && pieces[i].offset == next && iov.size() < 512) {
                iov.push_back(iovec{const_cast<uint8_t*>(pieces[i].data), pieces[i].len});
                next += pieces[i].len;
                total += pieces[i].len;
                ++i;
            }
            size_t done = 0;
            while (done < total) {
                // Skip what was written already in a short write.
                std::vector<iovec> rest;
                size_t skip = done;
                for (const iovec& v : iov) {
                    if (skip >= v.iov_len) {
                        skip -= v.iov_len;
                        continue;
                    }
                    rest.push_back(iovec{static_cast<char*>(v.iov_base) + skip, v.iov_len - skip});
                    skip = 0;
                }
                const ssize_t w = pwritev(fd, rest.data(), int(rest.size()), off_t(start + done));
                if (w < 0 && errno == EINTR) continue;
                if (w < 0) return msg::ioError(name, errno);
                done += size_t(w);
            }
        }
        return Status::ok();
    }
    // Writes the plan as a new file at `path` and syncs it.
    Status writeNew(const std::string& path) const
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return msg::ioError(name, errno);
        Status s = writePieces(fd, writes, name);
        if (s.isOk() && ftruncate(fd, off_t(size)) != 0) s = msg::ioError(name, errno);
        if (s.isOk() && fdatasync(fd) != 0) s = msg::ioError(name, errno);
        ::close(fd);
        return s;
    }
    // The pieces of `image` that differ from `disk`.
    void diff(const std::vector<uint8_t>& disk, std::vector<uint8_t> image)
    {
        owned.push_back(std::make_unique<std::vector<uint8_t>>(std::move(image)));
        const std::vector<uint8_t>& img = *owned.back();
        for (size_t off = 0; off < img.size(); off += kDiffUnit) {
            const size_t n = std::min(kDiffUnit, img.size() - off);
            if (off + n > disk.size() || std::memcmp(disk.data() + off, img.data() + off, n) != 0)
                add(off, img.data() + off, n);
        }
        size = img.size();
    }
};

FileHeader TableState::dataHeader(const Model& m, uint32_t stamp) const
{
    FileHeader h = m.header;
    m.data.describe(h);
    h.fileType = uint8_t(m.def.keyFieldCount > 0 ? FileKind::KeyedData : FileKind::UnkeyedData);
    h.keyFields = uint16_t(m.def.keyFieldCount);
    h.fields = m.def.fields;
    h.fieldNumbers.clear();
    h.versionId = kVersion7;
    h.stamp = stamp;
    h.encryption = 0;
    h.sortOrderName = collationId();
    h.tableName = dbFile_;
    h.hasIndexCatalog = true;
    h.indexCatalog = m.def.indexes;
    h.indexName.clear();
    return h;
}

FileHeader TableState::secondaryHeader(const Model& m, const Secondary& s, uint32_t stamp) const
{
    FileHeader h;
    s.xg.describe(h);
    h.fileType = uint8_t(FileKind::SecondaryDataInc);
    h.keyFields = uint16_t(s.xgFields.size() - 1);
    h.fields = s.xgFields;
    h.fieldNumbers.push_back(uint16_t(s.field + 1));
    for (int i = 0; i < m.def.keyFieldCount; ++i) h.fieldNumbers.push_back(uint16_t(i + 1));
    h.fieldNumbers.push_back(0);
    h.indexFieldNumber = uint8_t(s.field + 1);
    h.stamp = stamp;
    h.sortOrderName = collationId();
    h.indexName = s.def.name;
    h.tableName = s.xgName;
    h.caseless = s.def.caseInsensitive ? 1 : 0;
    h.descending = s.def.descending ? 0x11 : 0x01;
    return h;
}

std::vector<TableState::FilePlan> TableState::fullImages(Model& m, uint32_t stamp)
{
    std::vector<FilePlan> plans;
    auto dataFile = [&](const std::string& name, const FileHeader& h, BlockFile& bf) {
        FilePlan p;
        p.name = name;
        const size_t hs = p.own(0, buildHeader(h)).size();
        const size_t bs = size_t(bf.blockSize());
        for (size_t b = 1; b <= bf.blockCount(); ++b) p.add(hs + (b - 1) * bs, bf.image(b), bs);
        p.size = hs + bf.blockCount() * bs;
        plans.push_back(std::move(p));
    };
    auto whole = [&](const std::string& name, std::vector<uint8_t> bytes) {
        FilePlan p;
        p.name = name;
        p.size = bytes.size();
        p.own(0, std::move(bytes));
        plans.push_back(std::move(p));
    };
    dataFile(dbFile_, dataHeader(m, stamp), m.data);
    if (m.hasBlobs) {
        FilePlan p;
        p.name = m.mbName;
        p.add(0, m.blobs.data(), m.blobs.size());
        p.size = m.blobs.size();
        plans.push_back(std::move(p));
    }
    if (m.def.keyFieldCount > 0) whole(m.pxName, buildBlockIndex(m.data, keyDefs(m.def), FileKind::PrimaryIndex, dbFile_));
    for (Secondary& s : m.sec) {
        dataFile(s.xgName, secondaryHeader(m, s, stamp), s.xg);
        std::vector<FieldDef> kd(s.xgFields.begin(), s.xgFields.end() - 1);
        whole(s.ygName, buildBlockIndex(s.xg, kd, FileKind::SecondaryIndex, s.xgName));
    }
    return plans;
}

// After the files were written from a model: what is on disk is what it holds.
void TableState::markWritten(Model& m, const std::vector<FilePlan>& plans, uint32_t stamp)
{
    m.header = dataHeader(m, stamp);
    m.header.headerSize = uint16_t(buildHeader(m.header).size());
    m.data.clearDirty();
    m.blobs.clearDirty();
    for (const FilePlan& p : plans) {
        if (sameName(p.name, m.mbName)) m.mbDiskSize = p.size;
        if (sameName(p.name, m.pxName)) {
            m.pxDisk = *p.owned.back();
            m.pxRead = true;
        }
        for (Secondary& s : m.sec)
            if (sameName(p.name, s.ygName)) {
                s.ygDisk = *p.owned.back();
                s.ygRead = true;
            }
    }
    m.rewriteNeeded = false;
    for (Secondary& s : m.sec) s.xg.clearDirty();
    atBase_ = true;
}

Status TableState::create(const std::string& folder, const std::string& stem, const TableDef& given)
{
    TableDef def = given;
    for (FieldDef& f : def.fields) f = withDefaults(f);
    if (Status s = validate(stem, def); !s.isOk()) return s;
    TableState t;
    t.folder_ = folder;
    t.stem_ = stem;
    t.dbFile_ = stem + ".DB";
    std::unique_ptr<Model> m = t.makeModel(def, blockKbFor(RecordLayout(def.fields).recordSize()), {});
    const std::vector<FilePlan> plans = t.fullImages(*m, 1);
    // Written under names of this process's own, so that nothing is left
    // behind by a create that fails (a full disk) and no two creators write
    // into one file.
    const std::string own = "." + std::to_string(getpid()) + ".tmp";
    auto fail = [&](Status s) {
        for (const FilePlan& p : plans) ::unlink((joinPath(folder, p.name) + own).c_str());
        return s;
    };
    // The data file comes last: until it is in place the table does not exist.
    for (size_t i = plans.size(); i-- > 0;)
        if (Status s = plans[i].writeNew(joinPath(folder, plans[i].name) + own); !s.isOk()) return fail(s);
    for (size_t i = plans.size(); i-- > 0;) {
        const std::string path = joinPath(folder, plans[i].name);
        if (::rename((path + own).c_str(), path.c_str()) != 0) return fail(msg::ioError(plans[i].name, errno));
    }
    return syncDirectory(folder);
}

std::unique_ptr<TableState::Model> TableState::makeModel(const TableDef& def, uint8_t blockKb,
                                                         const std::vector<std::string>& entries)
{
    auto m = std::make_unique<Model>();
    m->def = def;
    m->layout = RecordLayout(def.fields);
    m->pk = primaryParts(def, m->layout);
    m->mbName = findEntry(entries, stem_ + ".MB").value_or(fileName("MB"));
    m->pxName = findEntry(entries, stem_ + ".PX").value_or(fileName("PX"));
    m->tagBase = nextTag_;
    m->data.initEmpty(m->layout.recordSize(), int(blockKb) * 1024, nextTag_);
    m->header.codePage = kCodePage1250;
    for (const FieldDef& f : def.fields)
        if (isBlobType(f.type)) m->hasBlobs = true;
    if (m->hasBlobs) m->blobs.initEmpty();
    for (size_t i = 0; i < def.indexes.size(); ++i) {
        Secondary s;
        s.def = def.indexes[i];
        shapeSecondary(m->def, s, stem_, i, entries);
        s.xg.initEmpty(s.xgLayout.recordSize(), int(blockKbFor(s.xgLayout.recordSize())) * 1024, 1);
        s.ready = true;
        m->sec.push_back(std::move(s));
    }
    return m;
}

// ---------------------------------------------------------------------------
// Handles

Status TableState::attach(OpenMode mode)
{
    if (exclusive_ && handles_ > 0) return msg::tableInUse(stem_);
    if (mode == OpenMode::Exclusive && handles_ > 0) return msg::tableInUse(stem_);
    ++handles_;
    return Status::ok();
}

void TableState::detach(OpenMode)
{
    if (--handles_ > 0) return;
    // Only the last one anywhere writes the table out. Anyone else leaves
    // the journal to those still using the table (they hold its records
    // already), so that closing changes nothing for them.
    bool alone = exclusive_;
    if (!alone && dbFd_ >= 0 && lockFile(dbFd_, LockRange::Open, LockKind::Exclusive, 0)) {
        alone = true;
        // Back to shared at once: an open elsewhere need not wait for the checkpoint.
        (void)lockFile(dbFd_, LockRange::Open, LockKind::Shared, 0);
    }
    bool written = false;
    if (alone && writable_ && wal_.isOpen() && beginWrite().isOk()) {
        Status s;
        if (dirty_ || walEnd_ > WriteAheadLog::kHeaderSize) s = checkpoint();
        written = s.isOk();
        // The last one anywhere removes the journal (its writer lock released
        // first: no one else can open the table meanwhile).
        const bool last = s.isOk() && walEnd_ == WriteAheadLog::kHeaderSize &&
                          lockFile(dbFd_, LockRange::Open, LockKind::Exclusive, 0);
        endWrite();
        if (last) (void)wal_.remove();
    }
    // The rows stay for the next open, which checks the files against what
    // they are now (read while no checkpoint writes into them).
    closedStamps_.clear();
    if ((written || !writable_ || !alone) && atBase_ && dbFd_ >= 0 &&
        lockFile(dbFd_, LockRange::Read, LockKind::Shared, kWriterWaitMs)) {
        closedStamps_ = fileStamps();
        unlockFile(dbFd_, LockRange::Read);
    }
    closeFiles();
}

bool TableState::keptAfterClose() const { return !closedStamps_.empty(); }

// ---------------------------------------------------------------------------
// Keeping up with other processes

void TableState::changed()
{
    ++version_;
    std::fill(orderCache_.begin(), orderCache_.end(), std::nullopt);
}

// ---------------------------------------------------------------------------
// Reading

Result<uint32_t> TableState::liveTag(RowId row)
{
    if (!model_->data.live(row)) return msg::rowMissing(stem_);
    return uint32_t(row);
}

Result<uint64_t> TableState::recordCount()
{
    if (Status s = sync(); !s.isOk()) return s;
    return uint64_t(model_->data.recordCount());
}

Result<std::vector<RowId>> TableState::rows(const OrderSpec& order)
{
    if (Status s = sync(); !s.isOk()) return s;
    Model& m = *model_;
    int which = -1;
    switch (order.kind) {
    case OrderSpec::Kind::Primary:
        break;
    case OrderSpec::Kind::Index:
        which = m.def.indexIndex(order.indexName);
        if (which < 0) return msg::indexMissing(stem_, order.indexName);
        break;
    case OrderSpec::Kind::Fields: {
        bool primary = m.def.keyFieldCount > 0 && order.fields.size() == size_t(m.def.keyFieldCount);
        for (size_t i = 0; primary && i < order.fields.size(); ++i)
            primary = sameName(order.fields[i], m.def.fields[i].name);
        if (primary) break;
        which = -2;
        if (order.fields.size() == 1)
            for (size_t i = 0; i < m.sec.size() && which < 0; ++i)
                if (sameName(m.sec[i].def.fields[0], order.fields[0])) which = int(i);
        if (which < 0) return msg::noIndexForFields(stem_, fieldList(order.fields));
        break;
    }
    }
    std::optional<std::vector<RowId>>& cached = orderCache_[size_t(which + 1)];
    if (!cached) {
        if (which < 0) {
            cached = m.data.tagsInOrder();
        } else {
            Secondary& s = m.sec[size_t(which)];
            const bool wasReady = s.ready;
            if (Status st = ensureSecondary(m, s); !st.isOk()) return st;
            if (!wasReady && s.xg.blockCount() > 0 && s.xg.blockDirty(1)) dirty_ = true;
            std::vector<RowId> out;
            out.reserve(s.xg.recordCount());
            for (uint32_t xt : s.xg.tagsInOrder()) out.push_back(s.xgToDb[xt - 1]);
            cached = std::move(out);
        }
    }
    return *cached;
}

Result<std::optional<RowId>> TableState::findKey(const std::vector<Value>& key)
{
    if (Status s = sync(); !s.isOk()) return s;
    Model& m = *model_;
    if (m.def.keyFieldCount == 0) return msg::noPrimaryKey(stem_);
    if (key.size() != size_t(m.def.keyFieldCount)) return msg::recordShape(stem_, key.size(), size_t(m.def.keyFieldCount));
    std::vector<uint8_t> buf(size_t(m.layout.recordSize()), 0);
    for (size_t i = 0; i < key.size(); ++i) {
        const FieldDef& f = m.def.fields[i];
        Value fixed = key[i];
        Status s = checkValue(f, fixed);
        if (!s.isOk()) {
            if (key[i].kind() == valueKindOf(f.type)) return std::optional<RowId>();
            return s;
        }
        if (fixed.isNull()) return std::optional<RowId>();
        encodeScalar(m.layout.slot(int(i)), fixed, buf.data() + m.layout.slot(int(i)).offset);
    }
    auto probe = [&](const uint8_t* r) { return compareKeys(m.pk, buf.data(), m.pk, r); };
    RecordLoc loc;
    if (!m.data.recordAtPosition(m.data.lowerBound(probe), loc) || probe(m.data.recordAt(loc)) != 0)
        return std::optional<RowId>();
    return std::optional<RowId>(m.data.tagAt(loc));
}

Status TableState::read(RowId row, Record& out)
{
    Result<uint32_t> tag = liveTag(row);
    if (!tag.isOk()) return tag.status();
    Model& m = *model_;
    const uint8_t* rec = m.data.record(*tag);
    out.clear();
    out.reserve(m.def.fields.size());
    for (size_t i = 0; i < m.def.fields.size(); ++i) {
        const FieldSlot& slot = m.layout.slot(int(i));
        if (isBlobType(slot.type)) {
            Result<std::string> v = m.blobs.read(slot, rec + slot.offset, m.mbName);
            if (!v.isOk()) return v.status();
            if (v->empty())
                out.emplace_back();
            else
                out.push_back(valueKindOf(slot.type) == Value::Kind::Text ? Value::fromText(std::move(*v))
                                                                          : Value::fromBytes(std::move(*v)));
        } else {
            out.push_back(decodeScalar(slot, rec + slot.offset));
        }
    }
    return Status::ok();
}

Result<Value> TableState::readField(RowId row, int field)
{
    Model& m = *model_;
    if (field < 0 || size_t(field) >= m.def.fields.size()) return msg::fieldMissing(stem_, std::to_string(field));
    const uint8_t* rec = m.data.record(row);
    if (!rec) return msg::rowMissing(stem_);
    const FieldSlot& slot = m.layout.slot(field);
    if (!isBlobType(slot.type)) return decodeScalar(slot, rec + slot.offset);
    Result<std::string> v = m.blobs.read(slot, rec + slot.offset, m.mbName);
    if (!v.isOk()) return v.status();
    if (v->empty()) return Value();
    return valueKindOf(slot.type) == Value::Kind::Text ? Value::fromText(std::move(*v)) : Value::fromBytes(std::move(*v));
}

// Field `slot` of each of `rows` into `out`, made by `make` from the row's
// record; a row that is gone is an error naming the table. The rows lie far
// apart in memory: each is asked of memory a few rows ahead of its reading,
// so that the waits overlap.
template <class T, class Make>
Status TableState::eachField(const BlockFile& data, const std::vector<RowId>& rows, const FieldSlot& slot,
                             std::vector<T>& out, Make&& make) const
{
    constexpr size_t kAhead = 16;
    out.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i + kAhead < rows.size())
            if (const uint8_t* ahead = data.record(rows[i + kAhead])) __builtin_prefetch(ahead + slot.offset);
        const uint8_t* rec = data.record(rows[i]);
        if (!rec) {
            out.clear();
            return msg::rowMissing(stem_);
        }
        out.push_back(make(rec));
    }
    return Status::ok();
}

Status TableState::readFields(const std::vector<RowId>& rows, int field, std::vector<Value>& out)
{
    out.clear();
    Model& m = *model_;
    if (field < 0 || size_t(field) >= m.def.fields.size()) return msg::fieldMissing(stem_, std::to_string(field));
    const FieldSlot& slot = m.layout.slot(field);
    if (isBlobType(slot.type)) {
        out.reserve(rows.size());
        for (RowId r : rows) {
            auto v = readField(r, field);
            if (!v.isOk()) {
                out.clear();
                return v.status();
            }
            out.push_back(std::move(*v));
        }
        return Status::ok();
    }
    return eachField(m.data, rows, slot, out, [&](const uint8_t* rec) { return decodeScalar(slot, rec + slot.offset); });
}

Status TableState::readTexts(const std::vector<RowId>& rows, int field, std::vector<std::string_view>& out)
{
    out.clear();
    Model& m = *model_;
    if (field < 0 || size_t(field) >= m.def.fields.size() || m.def.fields[size_t(field)].type != FieldType::Alpha)
        return msg::fieldMissing(stem_, std::to_string(field));
    const FieldSlot& slot = m.layout.slot(field);
    return eachField(m.data, rows, slot, out, [&](const uint8_t* rec) { return alphaText(slot, rec); });
}

// ---------------------------------------------------------------------------
// Writing

Status TableState::checkRecord(Record& rec, bool forInsert)
{
    const Model& m = *model_;
    if (rec.size() != m.def.fields.size()) return msg::recordShape(stem_, rec.size(), m.def.fields.size());
    for (size_t i = 0; i < rec.size(); ++i) {
        const FieldDef& f = m.def.fields[i];
        if (Status s = checkValue(f, rec[i]); !s.isOk()) return s;
        if (int(i) < m.def.keyFieldCount && rec[i].isNull() && !(forInsert && f.type == FieldType::AutoInc))
            return msg::keyBlank(f.name);
    }
    return Status::ok();
}

namespace {

std::string recordPayload(const Record& rec)
{
    ByteWriter w;
    w.str().reserve(rec.size() * 24);
    w.u32(uint32_t(rec.size()));
    for (const Value& v : rec) w.value(v);
    return std::move(w.str());
}

}  // namespace

Result<RowId> TableState::insert(Record& rec)
{
    if (Status s = checkRecord(rec, true); !s.isOk()) return s;
    if (Status s = beginWrite(); !s.isOk()) return s;
    Model& m = *model_;
    Status s;
    for (size_t i = 0; i < rec.size() && s.isOk(); ++i) {
        if (m.def.fields[i].type != FieldType::AutoInc || !rec[i].isNull()) continue;
        if (m.header.autoInc >= 2147483647u)
            s = msg::outOfRange(m.def.fields[i].name);
        else
            rec[i] = Value::fromInt(int64_t(m.header.autoInc) + 1);
    }
    if (s.isOk() && m.def.keyFieldCount > 0) {
        // Only the key fields are written and compared.
        std::vector<uint8_t>& buf = keyBuf_;
        buf.resize(size_t(m.layout.recordSize()));
        for (int i = 0; i < m.def.keyFieldCount; ++i)
            encodeScalar(m.layout.slot(i), rec[size_t(i)], buf.data() + m.layout.slot(i).offset);
        auto probe = [&](const uint8_t* r) { return compareKeys(m.pk, buf.data(), m.pk, r); };
        RecordLoc loc;
        if (m.data.recordAtPosition(m.data.lowerBound(probe), loc) && probe(m.data.recordAt(loc)) == 0)
            s = msg::duplicateKey(stem_, describeKey(Record(rec.begin(), rec.begin() + m.def.keyFieldCount)));
    }
    if (s.isOk()) {
        bool room = m.data.canGrow();
        for (const Secondary& sec : m.sec) room = room && sec.xg.canGrow();
        if (!room) s = msg::tableFull(stem_);
    }
    if (s.isOk()) s = log(LogType::Insert, recordPayload(rec));
    uint32_t tag = 0;
    if (s.isOk()) {
        tag = applyInsert(m, rec);
        dirty_ = true;
        atBase_ = false;
        changed();
        if (walEnd_ > kAutoCheckpointBytes && !transaction_) s = checkpoint();
    }
    endWrite();
    if (!s.isOk() && tag == 0) return s;
    return RowId(tag);
}

Status TableState::update(RowId row, const Record& given)
{
    Record rec = given;
    if (Status s = checkRecord(rec, false); !s.isOk()) return s;
    if (Status s = beginWrite(); !s.isOk()) return s;
    Model& m = *model_;
    Status s;
    Result<uint32_t> tag = liveTag(row);
    if (!tag.isOk()) s = tag.status();
    std::vector<uint8_t> buf(size_t(m.layout.recordSize()), 0);
    if (s.isOk() && m.def.keyFieldCount > 0) {
        for (int i = 0; i < m.def.keyFieldCount; ++i)
            encodeScalar(m.layout.slot(i), rec[size_t(i)], buf.data() + m.layout.slot(i).offset);
        auto probe = [&](const uint8_t* r) { return compareKeys(m.pk, buf.data(), m.pk, r); };
        RecordLoc loc;
        if (m.data.recordAtPosition(m.data.lowerBound(probe), loc) && probe(m.data.recordAt(loc)) == 0 &&
            m.data.tagAt(loc) != *tag)
            s = msg::duplicateKey(stem_, describeKey(Record(rec.begin(), rec.begin() + m.def.keyFieldCount)));
    }
    if (s.isOk()) {
        bool room = m.data.canGrow();
        for (const Secondary& sec : m.sec) room = room && sec.xg.canGrow();
        if (!room) s = msg::tableFull(stem_);
    }
    if (s.isOk()) {
        const RecordLoc loc = m.data.locate(*tag);
        ByteWriter w;
        w.u16(loc.block);
        w.u16(loc.pos);
        w.u32(recordChecksum(m.layout, m.data.recordAt(loc)));
        w.str() += recordPayload(rec);
        s = log(LogType::Update, w.str());
    }
    if (s.isOk()) {
        applyUpdate(m, *tag, rec);
        dirty_ = true;
        atBase_ = false;
        changed();
        if (walEnd_ > kAutoCheckpointBytes && !transaction_) s = checkpoint();
    }
    endWrite();
    return s;
}

Status TableState::remove(RowId row)
{
    if (Status s = beginWrite(); !s.isOk()) return s;
    Model& m = *model_;
    Status s;
    Result<uint32_t> tag = liveTag(row);
    if (!tag.isOk()) s = tag.status();
    if (s.isOk()) {
        const RecordLoc loc = m.data.locate(*tag);
        ByteWriter w;
        w.u16(loc.block);
        w.u16(loc.pos);
        w.u32(recordChecksum(m.layout, m.data.recordAt(loc)));
        s = log(LogType::Delete, w.str());
    }
    if (s.isOk()) {
        applyRemove(m, *tag);
        dirty_ = true;
        atBase_ = false;
        changed();
        if (walEnd_ > kAutoCheckpointBytes && !transaction_) s = checkpoint();
    }
    endWrite();
    return s;
}

Status TableState::emptyTable()
{
    if (Status s = beginWrite(); !s.isOk()) return s;
    Status s = log(LogType::Empty, std::string());
    if (s.isOk()) {
        applyEmpty(*model_);
        dirty_ = true;
        atBase_ = false;
        changed();
    }
    endWrite();
    return s;
}

Status TableState::flush()
{
    if (!writable_) return Status::ok();
    if (transaction_) return msg::transactionOpen(stem_);
    if (Status s = beginWrite(); !s.isOk()) return s;
    Status s;
    if (dirty_ || walEnd_ > WriteAheadLog::kHeaderSize) s = checkpoint();
    endWrite();
    return s;
}

// ---------------------------------------------------------------------------
// Checkpoints

Status TableState::checkpoint()
{
    Model& m = *model_;
    for (Secondary& s : m.sec)
        if (Status st = ensureSecondary(m, s); !st.isOk()) return st;
    uint32_t stamp = m.header.stamp + 1;
    if (stamp == 0) stamp = 1;
    if (m.rewriteNeeded || buildHeader(dataHeader(m, stamp)).size() != m.header.headerSize) {
        std::unique_ptr<Model> next = std::move(model_);
        return rewrite(std::move(next), {});
    }

    // What changed, file by file.
    std::vector<FilePlan> plans;
    auto dataFile = [&](const std::string& name, const FileHeader& h, BlockFile& bf) {
        FilePlan p;
        p.name = name;
        const size_t hs = p.own(0, buildHeader(h)).size();
        const size_t bs = size_t(bf.blockSize());
        for (size_t b = 1; b <= bf.blockCount(); ++b)
            if (bf.blockDirty(b)) p.add(hs + (b - 1) * bs, bf.image(b), bs);
        p.size = hs + bf.blockCount() * bs;
        plans.push_back(std::move(p));
    };
    dataFile(dbFile_, dataHeader(m, stamp), m.data);
    if (m.hasBlobs) {
        FilePlan p;
        p.name = m.mbName;
        for (size_t pg = 0; pg * kBlobPage < m.blobs.size(); ++pg)
            if (m.blobs.pageDirty(pg) || (pg + 1) * kBlobPage > m.mbDiskSize)
                p.add(pg * kBlobPage, m.blobs.data() + pg * kBlobPage, kBlobPage);
        p.size = m.blobs.size();
        plans.push_back(std::move(p));
    }
    if (m.def.keyFieldCount > 0) {
        if (!m.pxRead) {
            Result<std::vector<uint8_t>> b = readWholeFile(joinPath(folder_, m.pxName));
            m.pxDisk = b.isOk() ? std::move(*b) : std::vector<uint8_t>();
            m.pxRead = true;
        }
        FilePlan p;
        p.name = m.pxName;
        p.diff(m.pxDisk, buildBlockIndex(m.data, keyDefs(m.def), FileKind::PrimaryIndex, dbFile_));
        plans.push_back(std::move(p));
    }
    for (Secondary& s : m.sec) {
        dataFile(s.xgName, secondaryHeader(m, s, stamp), s.xg);
        if (!s.ygRead) {
            Result<std::vector<uint8_t>> b = readWholeFile(joinPath(folder_, s.ygName));
            s.ygDisk = b.isOk() ? std::move(*b) : std::vector<uint8_t>();
            s.ygRead = true;
        }
        std::vector<FieldDef> kd(s.xgFields.begin(), s.xgFields.end() - 1);
        FilePlan y;
        y.name = s.ygName;
        y.diff(s.ygDisk, buildBlockIndex(s.xg, kd, FileKind::SecondaryIndex, s.xgName));
        plans.push_back(std::move(y));
    }
    // Only the data and memo files are synced: the index files are derived
    // from them, checked when read and rebuilt when found wanting.
    auto primary = [&](const FilePlan& p) { return p.name == dbFile_ || p.name == m.mbName; };

    // Open the files and sort the writes: past a file's end they can go
    // straight in (nothing reads there yet); over existing bytes they go to
    // the journal first.
    struct Open {
        int fd = -1;
        bool own = false;
        uint64_t disk = 0;
        std::vector<FilePlan::Write> appends, overwrites;
    };
    std::vector<Open> files(plans.size());
    auto closeAll = [&] {
        for (Open& o : files)
            if (o.own && o.fd >= 0) ::close(o.fd);
    };
    bool created = false;
    for (size_t i = 0; i < plans.size(); ++i) {
        Open& o = files[i];
        if (plans[i].name == dbFile_) {
            o.fd = dbFd_;
        } else {
            const std::string path = joinPath(folder_, plans[i].name);
            created = created || access(path.c_str(), F_OK) != 0;
            o.fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            o.own = true;
        }
        struct stat st {};
        if (o.fd < 0 || fstat(o.fd, &st) != 0) {
            const int err = errno;
            closeAll();
            return msg::ioError(plans[i].name, err);
        }
        o.disk = uint64_t(st.st_size);
        for (const FilePlan::Write& w : plans[i].writes) {
            if (w.offset + w.len <= o.disk) {
                o.overwrites.push_back(w);
            } else if (w.offset >= o.disk) {
                o.appends.push_back(w);
            } else {
                const size_t split = size_t(o.disk - w.offset);
                o.overwrites.push_back({w.offset, w.data, split});
                o.appends.push_back({o.disk, w.data + split, w.len - split});
            }
        }
    }
    Status s;
    for (size_t i = 0; i < plans.size() && s.isOk(); ++i) {
        if (files[i].appends.empty()) continue;
        s = FilePlan::writePieces(files[i].fd, files[i].appends, plans[i].name);
        if (s.isOk() && primary(plans[i]) && fdatasync(files[i].fd) != 0) s = msg::ioError(plans[i].name, errno);
    }
    if (s.isOk() && created) s = syncDirectory(folder_);
    if (s.isOk() && !lockFile(dbFd_, LockRange::Read, LockKind::Exclusive, kWriterWaitMs)) s = msg::tableInUse(stem_);
    if (!s.isOk()) {
        closeAll();
        return s;
    }
    ByteWriter w;
    w.u32(stamp);
    w.u32(uint32_t(plans.size()));
    for (size_t i = 0; i < plans.size(); ++i) {
        w.bytes(plans[i].name);
        w.u64(plans[i].size);
        w.u32(uint32_t(files[i].overwrites.size()));
        for (const FilePlan::Write& piece : files[i].overwrites) {
            w.u64(piece.offset);
            w.bytes(std::string_view(reinterpret_cast<const char*>(piece.data), piece.len));
        }
    }
    s = log(LogType::Image, w.str());
    if (s.isOk()) s = wal_.sync();
    for (size_t i = 0; i < plans.size() && s.isOk(); ++i) {
        Open& o = files[i];
        s = FilePlan::writePieces(o.fd, o.overwrites, plans[i].name);
        const bool shorter = plans[i].size < o.disk;
        if (s.isOk() && shorter && ftruncate(o.fd, off_t(plans[i].size)) != 0) s = msg::ioError(plans[i].name, errno);
        if (s.isOk() && primary(plans[i]) && (shorter || !o.overwrites.empty()) && fdatasync(o.fd) != 0)
            s = msg::ioError(plans[i].name, errno);
    }
    if (s.isOk()) s = wal_.reset(walGen_ + 1, stamp);
    unlockFile(dbFd_, LockRange::Read);
    closeAll();
    if (!s.isOk()) return s;
    walGen_ += 1;
    walEnd_ = WriteAheadLog::kHeaderSize;
    markWritten(m, plans, stamp);
    dirty_ = false;
    return Status::ok();
}

Status TableState::applyImage(const std::string& payload, bool toDisk,
                              std::vector<std::pair<std::string, std::vector<uint8_t>>>* files)
{
    ByteReader r(payload);
    r.u32();
    const uint32_t n = r.u32();
    const std::string walName = fileName("WAL");
    for (uint32_t i = 0; i < n && r.ok(); ++i) {
        const std::string name(r.bytes());
        const uint64_t size = r.u64();
        const uint32_t count = r.u32();
        if (!r.ok() || name.find('/') != std::string::npos || size > (uint64_t(1) << 34)) break;
        int fd = -1;
        std::vector<uint8_t>* buf = nullptr;
        if (toDisk) {
            fd = ::open(joinPath(folder_, name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) return msg::ioError(name, errno);
        } else {
            for (auto& [fname, bytes] : *files)
                if (sameName(fname, name)) buf = &bytes;
            if (buf) buf->resize(size_t(size), 0);
        }
        Status s;
        for (uint32_t k = 0; k < count && r.ok() && s.isOk(); ++k) {
            const uint64_t off = r.u64();
            const std::string_view bytes = r.bytes();
            if (!r.ok() || off + bytes.size() > size) {
                s = msg::corrupt(walName, "érvénytelen lapbejegyzés.");
                break;
            }
            if (fd >= 0) s = writeExact(fd, bytes.data(), bytes.size(), off, name);
            if (buf) std::memcpy(buf->data() + off, bytes.data(), bytes.size());
        }
        if (fd >= 0) {
            if (s.isOk() && ftruncate(fd, off_t(size)) != 0) s = msg::ioError(name, errno);
            if (s.isOk() && fdatasync(fd) != 0) s = msg::ioError(name, errno);
            ::close(fd);
        }
        if (!s.isOk()) return s;
    }
    if (!r.ok()) return msg::corrupt(walName, "csonka lapkép.");
    return Status::ok();
}

// ---------------------------------------------------------------------------
// Restructuring: the files are written anew beside the old ones and put in
// their place by renames that the journal records first.

Status TableState::completeRenames(const std::string& payload)
{
    ByteReader r(payload);
    const uint32_t stamp = r.u32();
    const uint32_t n = r.u32();
    for (uint32_t i = 0; i < n && r.ok(); ++i) {
        const uint8_t op = r.u8();
        const std::string from(r.bytes());
        const std::string to(r.bytes());
        if (!r.ok() || from.find('/') != std::string::npos || to.find('/') != std::string::npos) break;
        const std::string toPath = joinPath(folder_, to);
        if (op == 1) {
            const std::string fromPath = joinPath(folder_, from);
            if (access(fromPath.c_str(), F_OK) == 0 && ::rename(fromPath.c_str(), toPath.c_str()) != 0)
                return msg::ioError(to, errno);
        } else if (::unlink(toPath.c_str()) != 0 && errno != ENOENT) {
            return msg::ioError(to, errno);
        }
    }
    if (!r.ok()) return msg::corrupt(fileName("WAL"), "csonka átnevezési bejegyzés.");
    if (Status s = syncDirectory(folder_); !s.isOk()) return s;
    return wal_.reset(walGen_ + 1, stamp);
}

Status TableState::rewrite(std::unique_ptr<Model> next, const std::vector<std::string>& obsolete)
{
    Model& m = *next;
    for (Secondary& s : m.sec)
        if (Status st = ensureSecondary(m, s); !st.isOk()) {
            if (!model_) model_ = std::move(next);
            return st;
        }
    uint32_t stamp = std::max(m.header.stamp, model_ ? model_->header.stamp : 0u) + 1;
    if (stamp == 0) stamp = 1;
    const std::vector<FilePlan> plans = fullImages(m, stamp);
    auto fail = [&](Status s) {
        for (const FilePlan& p : plans) ::unlink((joinPath(folder_, p.name) + ".tmp").c_str());
        if (!model_) model_ = std::move(next);
        return s;
    };
    for (const FilePlan& p : plans)
        if (Status s = p.writeNew(joinPath(folder_, p.name) + ".tmp"); !s.isOk())
            return fail(s);
    // The new data file takes this table's locks before it takes its name,
    // so that no one can open it in between.
    const int newFd = ::open((joinPath(folder_, dbFile_) + ".tmp").c_str(), O_RDWR | O_CLOEXEC);
    if (newFd < 0) return fail(msg::ioError(dbFile_, errno));
    if (!lockFile(newFd, LockRange::Open, exclusive_ ? LockKind::Exclusive : LockKind::Shared, 0)) {
        ::close(newFd);
        return fail(msg::tableInUse(stem_));
    }
    ByteWriter w;
    w.u32(stamp);
    w.u32(uint32_t(plans.size() + obsolete.size()));
    // The data file last: a reader that sees it sees the rest.
    for (size_t i = plans.size(); i-- > 0;) {
        w.u8(1);
        w.bytes(plans[i].name + ".tmp");
        w.bytes(plans[i].name);
    }
    for (const std::string& o : obsolete) {
        w.u8(2);
        w.bytes(std::string());
        w.bytes(o);
    }
    Status s = log(LogType::Renames, w.str());
    if (s.isOk()) s = wal_.sync();
    if (!s.isOk()) {
        ::close(newFd);
        return fail(s);
    }
    // From here the change is decided: the journal finishes it if we die.
    s = completeRenames(w.str());
    ::close(dbFd_);
    dbFd_ = newFd;
    if (!s.isOk()) {
        if (!model_) model_ = std::move(next);
        return s;
    }
    walGen_ += 1;
    walEnd_ = WriteAheadLog::kHeaderSize;
    markWritten(m, plans, stamp);
    model_ = std::move(next);
    orderCache_.assign(model_->sec.size() + 1, std::nullopt);
    dirty_ = false;
    changed();
    return Status::ok();
}

Status TableState::restructureAllowed()
{
    if (!exclusive_) return msg::needsExclusive(stem_);
    return Status::ok();
}

// A copy of the current rows under a new definition; `convert` turns an old
// record into a new one.
std::unique_ptr<TableState::Model> TableState::copyModel(
    const TableDef& def, const std::function<void(const uint8_t*, uint8_t*)>& convert, bool keepOrder)
{
    Model& old = *model_;
    nextTag_ = std::max(nextTag_, old.data.nextTag());
    Result<std::vector<std::string>> entries = listFolder(folder_);
    const int recSize = RecordLayout(def.fields).recordSize();
    const uint8_t kb = std::max<uint8_t>(uint8_t(old.data.blockSize() / 1024), blockKbFor(recSize));
    std::unique_ptr<Model> m = makeModel(def, kb, entries.isOk() ? *entries : std::vector<std::string>());
    m->header.autoInc = old.header.autoInc;
    m->header.stamp = old.header.stamp;
    m->header.codePage = old.header.codePage;
    if (old.hasBlobs) {
        m->blobs = old.blobs;
        m->blobs.markAllDirty();
    }
    std::vector<uint32_t> tags = old.data.tagsInOrder();
    if (!keepOrder && def.keyFieldCount > 0) {
        const std::vector<KeyPart> pk = primaryParts(def, RecordLayout(def.fields));
        std::stable_sort(tags.begin(), tags.end(), [&](uint32_t a, uint32_t b) {
            return compareKeys(pk, old.data.record(a), pk, old.data.record(b)) < 0;
        });
    }
    std::vector<uint8_t> buf(static_cast<size_t>(recSize));
    std::vector<uint32_t> newTag(old.data.nextTag() - old.tagBase, 0);
    for (uint32_t t : tags) {
        std::fill(buf.begin(), buf.end(), 0);
        convert(old.data.record(t), buf.data());
        newTag[t - old.tagBase] = m->data.append(buf.data());
    }
    m->data.markAllDirty();
    for (Secondary& s : m->sec) {
        s.ready = false;
        s.mustSort = true;
        // With the rows in the same order under the same key, an index
        // already in memory keeps its order: only the rows' blocks change.
        const int was = old.def.indexIndex(s.def.name);
        if (!keepOrder || def.keyFieldCount != old.def.keyFieldCount || was < 0) continue;
        Secondary& o = old.sec[size_t(was)];
        if (!o.ready || o.field != s.field) continue;
        s.xg.initEmpty(s.xgLayout.recordSize(), int(blockKbFor(s.xgLayout.recordSize())) * 1024, 1);
        std::vector<uint8_t>& xr = xgBuf_;
        for (uint32_t oxt : o.xg.tagsInOrder()) {
            const uint32_t dbTag = newTag[o.xgToDb[oxt - 1] - old.tagBase];
            secondaryRecord(*m, s, dbTag, xr);
            s.xgToDb.push_back(dbTag);
            m->dbToXg(s, dbTag) = s.xg.append(xr.data());
        }
        s.xg.markAllDirty();
        s.ready = true;
        s.mustSort = false;
    }
    return m;
}

std::vector<std::string> TableState::indexFilesFrom(size_t firstOrdinal) const
{
    std::vector<std::string> out;
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return out;
    for (size_t n = firstOrdinal; n < 256; ++n) {
        bool any = false;
        for (const char* ext : {".XG", ".YG"})
            if (auto e = findEntry(*entries, stem_ + ext + std::to_string(n))) {
                out.push_back(*e);
                any = true;
            }
        if (!any && n >= firstOrdinal + 16) break;
    }
    return out;
}

Status TableState::addField(const FieldDef& field)
{
    if (Status s = restructureAllowed(); !s.isOk()) return s;
    TableDef def = model_->def;
    if (def.fieldIndex(field.name) >= 0) return msg::fieldExists(stem_, field.name);
    def.fields.push_back(withDefaults(field));
    if (Status s = validate(stem_, def); !s.isOk()) return s;
    return restructure(def, true, [] { return std::vector<std::string>(); });
}

// Writes the table anew under `def`, each row's old bytes at the start of
// its new record; `obsolete` names the files the new table leaves behind.
Status TableState::restructure(const TableDef& def, bool keepOrder,
                               const std::function<std::vector<std::string>()>& obsolete)
{
    if (transaction_) return msg::transactionOpen(stem_);
    if (Status s = beginWrite(); !s.isOk()) return s;
    const int oldSize = model_->layout.recordSize();
    std::unique_ptr<Model> next =
        copyModel(def, [&](const uint8_t* from, uint8_t* to) { std::memcpy(to, from, size_t(oldSize)); }, keepOrder);
    Status s = rewrite(std::move(next), obsolete());
    endWrite();
    return s;
}

Status TableState::clearIndexes()
{
    if (Status s = restructureAllowed(); !s.isOk()) return s;
    TableDef def = model_->def;
    def.keyFieldCount = 0;
    def.indexes.clear();
    return restructure(def, true, [&] {
        std::vector<std::string> obsolete = indexFilesFrom(0);
        Result<std::vector<std::string>> entries = listFolder(folder_);
        if (entries.isOk())
            if (auto px = findEntry(*entries, stem_ + ".PX")) obsolete.push_back(*px);
        return obsolete;
    });
}

Status TableState::addPrimaryIndex(const std::vector<std::string>& fields)
{
    if (Status s = restructureAllowed(); !s.isOk()) return s;
    const TableDef& cur = model_->def;
    if (fields.empty() || fields.size() > cur.fields.size()) return msg::primaryNotLeading(stem_);
    for (size_t i = 0; i < fields.size(); ++i)
        if (!sameName(fields[i], cur.fields[i].name)) {
            if (cur.fieldIndex(fields[i]) < 0) return msg::fieldMissing(stem_, fields[i]);
            return msg::primaryNotLeading(stem_);
        }
    TableDef def = cur;
    def.keyFieldCount = int(fields.size());
    if (Status s = validate(stem_, def); !s.isOk()) return s;
    // Every row needs its key, and no two rows the same.
    const RecordLayout layout(def.fields);
    const std::vector<KeyPart> pk = primaryParts(def, layout);
    std::vector<uint32_t> tags = model_->data.tagsInOrder();
    for (uint32_t t : tags)
        for (const KeyPart& p : pk)
            if (isBlank(model_->data.record(t) + p.slot.offset, p.slot.width)) return msg::keyBlank(def.fields[0].name);
    std::stable_sort(tags.begin(), tags.end(), [&](uint32_t a, uint32_t b) {
        return compareKeys(pk, model_->data.record(a), pk, model_->data.record(b)) < 0;
    });
    for (size_t i = 1; i < tags.size(); ++i)
        if (compareKeys(pk, model_->data.record(tags[i - 1]), pk, model_->data.record(tags[i])) == 0) {
            Record key;
            for (int k = 0; k < def.keyFieldCount; ++k)
                key.push_back(decodeScalar(layout.slot(k), model_->data.record(tags[i])));
            return msg::duplicateKey(stem_, describeKey(key));
        }
    return restructure(def, false, [] { return std::vector<std::string>(); });
}

Status TableState::addIndex(const IndexDef& index)
{
    if (Status s = restructureAllowed(); !s.isOk()) return s;
    TableDef def = model_->def;
    if (def.indexIndex(index.name) >= 0) return msg::indexExists(stem_, index.name);
    def.indexes.push_back(index);
    if (index.fields.size() == 1)
        if (const int f = def.fieldIndex(index.fields[0]); f >= 0) def.indexes.back().fields[0] = def.fields[size_t(f)].name;
    if (Status s = validate(stem_, def); !s.isOk()) return s;
    return restructure(def, true, [&] { return indexFilesFrom(def.indexes.size()); });
}

}  // namespace engine
