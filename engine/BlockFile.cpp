#include "BlockFile.h"

#include <algorithm>
#include <cstring>

#include "Messages.h"
#include "RecordCodec.h"

namespace engine {

namespace {

constexpr int kBlockHeader = 6;
constexpr size_t kMaxBlocks = 0xFFFF;

}  // namespace

void BlockFile::initEmpty(int recordSize, int blockSize, uint32_t firstTag)
{
    recordSize_ = recordSize;
    blockSize_ = blockSize;
    file_ = FileBuffer();
    blocks_.clear();
    chain_.clear();
    free_.clear();
    count_ = 0;
    tagBase_ = nextTag_ = firstTag;
    loc_.clear();
}

Status BlockFile::load(FileBuffer&& file, const FileHeader& h, uint32_t firstTag, std::string_view fileName)
{
    initEmpty(h.recordSize, h.blockSize(), firstTag);
    file_ = std::move(file);
    const size_t available = file_.size() > h.headerSize ? (file_.size() - h.headerSize) / size_t(blockSize_) : 0;
    if (h.fileBlocks > available) return msg::corrupt(fileName, "a fájl csonka (hiányzó adatblokkok).");
    blocks_.resize(h.fileBlocks);
    for (size_t i = 0; i < blocks_.size(); ++i)
        blocks_[i].shared = file_.data() + h.headerSize + i * size_t(blockSize_);

    const int cap = capacity();
    // The header's count is only a hint here (it is checked against the chain
    // below): never more room than the file's blocks can hold.
    loc_.reserve(std::min(size_t(h.numRecords), blocks_.size() * size_t(cap)));
    uint16_t blockNo = h.fileBlocks ? h.firstBlock : 0;
    uint16_t prev = 0;
    while (blockNo != 0) {
        if (blockNo > blocks_.size()) return msg::corrupt(fileName, "érvénytelen blokkhivatkozás.");
        Block& b = blocks_[blockNo - 1];
        if (b.inChain) return msg::corrupt(fileName, "körkörös blokklánc.");
        const uint8_t* p = b.shared;
        // Chains mostly run on through the file: the header a few blocks on
        // is asked of memory now, while this one is read.
        if (size_t(blockNo) + 4 <= blocks_.size()) __builtin_prefetch(blocks_[blockNo + 3].shared);
        const int16_t addDataSize = int16_t(le16(p + 4));
        if (addDataSize < -recordSize_ || (addDataSize + recordSize_) % recordSize_ != 0)
            return msg::corrupt(fileName, "érvénytelen blokkfoglaltság.");
        const int n = (addDataSize + recordSize_) / recordSize_;
        if (n > cap) return msg::corrupt(fileName, "érvénytelen blokkfoglaltság.");
        if (le16(p + 2) != prev) return msg::corrupt(fileName, "a blokklánc megszakadt.");
        b.inChain = true;
        b.count = uint16_t(n);
        b.prev = prev;
        b.next = le16(p);
        chain_.push_back(blockNo);
        b.tags.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            const uint32_t tag = nextTag_++;
            b.tags[size_t(i)] = tag;
            loc_.push_back(RecordLoc{blockNo, uint16_t(i)});
        }
        count_ += size_t(n);
        prev = blockNo;
        blockNo = b.next;
    }
    // A damaged pointer cuts the chain short (or leads it astray): the rows
    // past it would be read as missing and then written over.
    if (count_ != h.numRecords || chain_.size() != h.blocksInUse || (chain_.empty() ? 0 : chain_.back()) != h.lastBlock)
        return msg::corrupt(fileName, "a blokklánc nem egyezik a fejléc számaival (" + std::to_string(count_) + " sor " +
                                          std::to_string(h.numRecords) + " helyett).");
    // Blocks off the chain are free, whatever the file's free list said.
    for (size_t i = 1; i <= blocks_.size(); ++i)
        if (!blocks_[i - 1].inChain) free_.push_back(uint16_t(i));
    return Status::ok();
}

uint8_t* BlockFile::writable(Block& b)
{
    if (!b.own) {
        b.own.reset(new uint8_t[size_t(blockSize_)]);
        if (b.shared)
            std::memcpy(b.own.get(), b.shared, size_t(blockSize_));
        else
            std::memset(b.own.get(), 0, size_t(blockSize_));
    }
    b.dirty = true;
    return b.own.get();
}

RecordLoc BlockFile::locate(uint32_t tag) const
{
    if (tag < tagBase_ || tag >= nextTag_) return {};
    return loc_[tag - tagBase_];
}

const uint8_t* BlockFile::recordAt(RecordLoc loc) const
{
    return data(blocks_[loc.block - 1]) + kBlockHeader + size_t(loc.pos) * size_t(recordSize_);
}

const uint8_t* BlockFile::record(uint32_t tag) const
{
    const RecordLoc loc = locate(tag);
    return loc.block ? recordAt(loc) : nullptr;
}

uint32_t BlockFile::tagAt(RecordLoc loc) const { return blocks_[loc.block - 1].tags[loc.pos]; }

void BlockFile::forEach(const std::function<void(uint32_t, const uint8_t*)>& fn) const
{
    for (uint16_t blockNo : chain_) {
        const Block& b = blocks_[blockNo - 1];
        const uint8_t* d = data(b) + kBlockHeader;
        for (int i = 0; i < b.count; ++i) fn(b.tags[size_t(i)], d + size_t(i) * size_t(recordSize_));
    }
}

void BlockFile::forEachBlock(const std::function<void(uint16_t, const uint8_t*, uint16_t)>& fn) const
{
    for (uint16_t blockNo : chain_) {
        const Block& b = blocks_[blockNo - 1];
        if (b.count > 0) fn(blockNo, data(b) + kBlockHeader, b.count);
    }
}

std::vector<uint32_t> BlockFile::tagsInOrder() const
{
    std::vector<uint32_t> out;
    out.reserve(count_);
    for (uint16_t blockNo : chain_) {
        const Block& b = blocks_[blockNo - 1];
        out.insert(out.end(), b.tags.begin(), b.tags.end());
    }
    return out;
}

BlockFile::Position BlockFile::lowerBound(const Probe& probe) const
{
    if (chain_.empty()) return {};
    // Records added in order (auto-increment keys) go past the last one:
    // one comparison.
    const Block& tail = blocks_[chain_.back() - 1];
    if (tail.count > 0 && probe(data(tail) + kBlockHeader + size_t(tail.count - 1) * size_t(recordSize_)) > 0)
        return {chain_.size() - 1, tail.count};
    // The last block whose first record is not after the probe.
    size_t lo = 0, hi = chain_.size();
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        const Block& b = blocks_[chain_[mid] - 1];
        if (b.count == 0 || probe(data(b) + kBlockHeader) >= 0)
            lo = mid;
        else
            hi = mid;
    }
    const Block& b = blocks_[chain_[lo] - 1];
    const uint8_t* d = data(b) + kBlockHeader;
    int first = 0, last = b.count;
    while (first < last) {
        const int mid = (first + last) / 2;
        if (probe(d + size_t(mid) * size_t(recordSize_)) > 0)
            first = mid + 1;
        else
            last = mid;
    }
    return {lo, first};
}

bool BlockFile::recordAtPosition(const Position& p, RecordLoc& loc) const
{
    if (p.chainIndex >= chain_.size()) return false;
    size_t ci = p.chainIndex;
    int pos = p.pos;
    while (ci < chain_.size() && pos >= blocks_[chain_[ci] - 1].count) {
        ++ci;
        pos = 0;
    }
    if (ci >= chain_.size()) return false;
    loc = RecordLoc{chain_[ci], uint16_t(pos)};
    return true;
}

BlockFile::Position BlockFile::endPosition() const
{
    if (chain_.empty()) return {};
    return {chain_.size() - 1, blocks_[chain_.back() - 1].count};
}

void BlockFile::setLoc(uint32_t tag, uint16_t block, uint16_t pos) { loc_[tag - tagBase_] = RecordLoc{block, pos}; }

void BlockFile::relocateFrom(uint16_t blockNo, int fromPos)
{
    Block& b = blocks_[blockNo - 1];
    for (int i = fromPos; i < b.count; ++i) setLoc(b.tags[size_t(i)], blockNo, uint16_t(i));
}

uint16_t BlockFile::allocateBlock()
{
    uint16_t blockNo;
    if (!free_.empty()) {
        // The lowest free block: every process that applies the same changes
        // to the same file arrives at the same blocks.
        blockNo = free_.front();
        free_.erase(free_.begin());
    } else {
        if (blocks_.size() >= kMaxBlocks) return 0;
        blocks_.emplace_back();
        blockNo = uint16_t(blocks_.size());
    }
    Block& b = blocks_[blockNo - 1];
    if (b.own || b.shared) std::memset(writable(b), 0, size_t(blockSize_));
    else writable(b);
    b.count = 0;
    b.tags.clear();
    b.inChain = true;
    b.next = b.prev = 0;
    return blockNo;
}

void BlockFile::freeBlock(uint16_t blockNo)
{
    Block& b = blocks_[blockNo - 1];
    b.inChain = false;
    b.count = 0;
    b.tags.clear();
    b.next = b.prev = 0;
    std::memset(writable(b), 0, size_t(blockSize_));
    free_.insert(std::lower_bound(free_.begin(), free_.end(), blockNo), blockNo);
    if (const auto it = std::lower_bound(free_.begin(), free_.end(), blockNo); it != free_.begin())
        blocks_[*(it - 1) - 1].dirty = true;
}

size_t BlockFile::chainIndexOf(uint16_t blockNo) const
{
    return size_t(std::find(chain_.begin(), chain_.end(), blockNo) - chain_.begin());
}

void BlockFile::unlink(uint16_t blockNo)
{
    Block& b = blocks_[blockNo - 1];
    if (b.prev) {
        blocks_[b.prev - 1].next = b.next;
        blocks_[b.prev - 1].dirty = true;
    }
    if (b.next) {
        blocks_[b.next - 1].prev = b.prev;
        blocks_[b.next - 1].dirty = true;
    }
    chain_.erase(chain_.begin() + std::ptrdiff_t(chainIndexOf(blockNo)));
}

uint32_t BlockFile::insert(const Position& where, const uint8_t* rec, uint32_t reuseTag)
{
    const size_t rs = size_t(recordSize_);
    const int cap = capacity();
    size_t ci = where.chainIndex;
    int pos = where.pos;
    if (chain_.empty()) {
        const uint16_t nb = allocateBlock();
        if (!nb) return 0;
        chain_.push_back(nb);
        ci = 0;
        pos = 0;
    }
    uint16_t blockNo = chain_[ci];
    if (blocks_[blockNo - 1].count >= cap) {
        const bool atEnd = ci + 1 == chain_.size() && pos == blocks_[blockNo - 1].count;
        const uint16_t nb = allocateBlock();
        if (!nb) return 0;
        Block& b = blocks_[blockNo - 1];
        Block& n = blocks_[nb - 1];
        n.prev = blockNo;
        n.next = b.next;
        if (b.next) {
            blocks_[b.next - 1].prev = nb;
            blocks_[b.next - 1].dirty = true;
        }
        b.next = nb;
        b.dirty = true;
        chain_.insert(chain_.begin() + std::ptrdiff_t(ci + 1), nb);
        if (atEnd) {
            blockNo = nb;
            pos = 0;
        } else {
            // Split: the upper half moves to the new block.
            const int half = b.count / 2;
            const int moving = b.count - half;
            uint8_t* from = writable(b) + kBlockHeader;
            uint8_t* to = writable(n) + kBlockHeader;
            std::memcpy(to, from + size_t(half) * rs, size_t(moving) * rs);
            std::memset(from + size_t(half) * rs, 0, size_t(moving) * rs);
            n.tags.assign(b.tags.begin() + half, b.tags.end());
            b.tags.resize(size_t(half));
            n.count = uint16_t(moving);
            b.count = uint16_t(half);
            relocateFrom(nb, 0);
            if (onMove_)
                for (uint32_t t : n.tags) onMove_(t, nb);
            if (pos > half) {
                blockNo = nb;
                pos -= half;
            }
        }
    }
    Block& b = blocks_[blockNo - 1];
    uint8_t* d = writable(b) + kBlockHeader;
    std::memmove(d + size_t(pos + 1) * rs, d + size_t(pos) * rs, size_t(b.count - pos) * rs);
    std::memcpy(d + size_t(pos) * rs, rec, rs);
    uint32_t tag = reuseTag;
    if (!tag) {
        tag = nextTag_++;
        loc_.push_back(RecordLoc{});
    }
    b.tags.insert(b.tags.begin() + pos, tag);
    ++b.count;
    relocateFrom(blockNo, pos);
    ++count_;
    return tag;
}

void BlockFile::overwrite(uint32_t tag, const uint8_t* rec)
{
    const RecordLoc loc = locate(tag);
    Block& b = blocks_[loc.block - 1];
    std::memcpy(writable(b) + kBlockHeader + size_t(loc.pos) * size_t(recordSize_), rec, size_t(recordSize_));
}

void BlockFile::remove(uint32_t tag)
{
    const RecordLoc loc = locate(tag);
    const size_t rs = size_t(recordSize_);
    Block& b = blocks_[loc.block - 1];
    uint8_t* d = writable(b) + kBlockHeader;
    std::memmove(d + size_t(loc.pos) * rs, d + size_t(loc.pos + 1) * rs, size_t(b.count - loc.pos - 1) * rs);
    std::memset(d + size_t(b.count - 1) * rs, 0, rs);
    b.tags.erase(b.tags.begin() + loc.pos);
    --b.count;
    setLoc(tag, 0, 0);
    relocateFrom(loc.block, loc.pos);
    --count_;
    if (b.count > 0) return;
    if (chain_.front() != loc.block) {
        unlink(loc.block);
        freeBlock(loc.block);
        return;
    }
    // The chain's first block stays first: it takes over the next block's records.
    if (!b.next) return;
    const uint16_t nextNo = b.next;
    Block& n = blocks_[nextNo - 1];
    std::memcpy(d, data(n) + kBlockHeader, size_t(n.count) * rs);
    b.tags = n.tags;
    b.count = n.count;
    relocateFrom(loc.block, 0);
    if (onMove_)
        for (uint32_t t : b.tags) onMove_(t, loc.block);
    unlink(nextNo);
    freeBlock(nextNo);
}

void BlockFile::clear()
{
    for (Block& b : blocks_)
        for (uint32_t t : b.tags) setLoc(t, 0, 0);
    blocks_.clear();
    chain_.clear();
    free_.clear();
    file_ = FileBuffer();
    count_ = 0;
}

void BlockFile::describe(FileHeader& h) const
{
    h.recordSize = uint16_t(recordSize_);
    h.blockKb = uint8_t(blockSize_ / 1024);
    h.numRecords = uint32_t(count_);
    h.blocksInUse = uint16_t(chain_.size());
    h.fileBlocks = uint16_t(blocks_.size());
    h.firstBlock = chain_.empty() ? 0 : chain_.front();
    h.lastBlock = chain_.empty() ? 0 : chain_.back();
    h.firstFreeBlock = free_.empty() ? 0 : free_.front();
}

void BlockFile::blockImage(size_t blockNo, uint8_t* out) const
{
    const Block& b = blocks_[blockNo - 1];
    const uint8_t* d = data(b);
    if (!d)
        std::memset(out, 0, size_t(blockSize_));
    else if (d != out)
        std::memcpy(out, d, size_t(blockSize_));
    if (b.inChain) {
        putLe16(out, b.next);
        putLe16(out + 2, b.prev);
        putLe16(out + 4, uint16_t(int16_t((b.count - 1) * recordSize_)));
    } else {
        // Free blocks are chained from the header in ascending order.
        const auto it = std::lower_bound(free_.begin(), free_.end(), uint16_t(blockNo));
        putLe16(out, it != free_.end() && it + 1 != free_.end() ? *(it + 1) : 0);
        putLe16(out + 2, 0);
        putLe16(out + 4, uint16_t(int16_t(-recordSize_)));
    }
}

const uint8_t* BlockFile::image(size_t blockNo)
{
    Block& b = blocks_[blockNo - 1];
    const bool wasDirty = b.dirty;
    uint8_t* d = writable(b);
    b.dirty = wasDirty;
    blockImage(blockNo, d);
    return d;
}

void BlockFile::markAllDirty()
{
    for (Block& b : blocks_) b.dirty = true;
}

void BlockFile::clearDirty()
{
    for (Block& b : blocks_) b.dirty = false;
}

}  // namespace engine
