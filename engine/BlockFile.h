// BlockFile: the rows of a Paradox data-type file (.DB, .XGn) held in memory
// as the file's own blocks, so that a change edits the blocks it touches and
// a checkpoint writes back exactly those.
//
// Blocks hold fixed-size records and are chained in order; a keyed file keeps
// its records in key order along the chain (a full block splits in two, an
// emptied block goes to the free list), an unkeyed one in insertion order.
// Every record carries a tag that stays with it when it moves between or
// within blocks; the table uses tags as row ids.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "FileIo.h"
#include "ParadoxHeader.h"
#include "Status.h"

namespace engine {

struct RecordLoc {
    uint16_t block = 0;  // 1-based; 0 = no such record
    uint16_t pos = 0;
};

class BlockFile {
public:
    // Compares a probe with a record: <0 probe first, 0 equal, >0 record first.
    using Probe = std::function<int(const uint8_t* record)>;

    // A place between records, in chain order: before record `pos` of the
    // chain's block number `chainIndex`.
    struct Position {
        size_t chainIndex = 0;
        int pos = 0;
    };

    BlockFile() = default;
    void initEmpty(int recordSize, int blockSize, uint32_t firstTag);
    // Takes the file's bytes (header included) and walks its block chain.
    Status load(FileBuffer&& file, const FileHeader& h, uint32_t firstTag, std::string_view fileName);

    int recordSize() const { return recordSize_; }
    int blockSize() const { return blockSize_; }
    size_t recordCount() const { return count_; }
    int capacity() const { return (blockSize_ - 6) / recordSize_; }

    // Tags: row ids. A tag is never given to two records.
    uint32_t nextTag() const { return nextTag_; }
    RecordLoc locate(uint32_t tag) const;
    bool live(uint32_t tag) const { return locate(tag).block != 0; }
    // Whether a place holds a record.
    bool holds(RecordLoc loc) const
    {
        return loc.block >= 1 && loc.block <= blocks_.size() && blocks_[loc.block - 1].inChain &&
               loc.pos < blocks_[loc.block - 1].count;
    }
    const uint8_t* record(uint32_t tag) const;
    const uint8_t* recordAt(RecordLoc loc) const;
    uint32_t tagAt(RecordLoc loc) const;

    // All tags along the chain.
    void forEach(const std::function<void(uint32_t tag, const uint8_t* rec)>& fn) const;
    // Every block along the chain that holds records: its number, first
    // record and record count.
    void forEachBlock(const std::function<void(uint16_t blockNo, const uint8_t* first, uint16_t count)>& fn) const;
    std::vector<uint32_t> tagsInOrder() const;

    // Ordered access for keyed files.
    Position lowerBound(const Probe& probe) const;
    // The record at a position, if the position is not past the end.
    bool recordAtPosition(const Position& p, RecordLoc& loc) const;
    Position endPosition() const;

    // Changes. `insert` returns the new record's tag, or 0 when the file
    // cannot take another block; `reuseTag` gives a record that was removed
    // (a row whose key changed) its old tag back.
    bool canGrow() const { return !free_.empty() || blocks_.size() < 0xFFFF; }
    uint32_t insert(const Position& where, const uint8_t* rec, uint32_t reuseTag = 0);
    uint32_t append(const uint8_t* rec) { return insert(endPosition(), rec); }
    void overwrite(uint32_t tag, const uint8_t* rec);
    void remove(uint32_t tag);
    void clear();

    // Calls back for every record whose block changed since the last call
    // (records that moved), so that dependants can follow them.
    void setMoveObserver(std::function<void(uint32_t tag, uint16_t newBlock)> fn) { onMove_ = std::move(fn); }

    // What the header says about the blocks.
    void describe(FileHeader& h) const;

    // Writing back. Blocks are numbered from 1.
    size_t blockCount() const { return blocks_.size(); }
    bool blockDirty(size_t blockNo) const { return blocks_[blockNo - 1].dirty; }
    void blockImage(size_t blockNo, uint8_t* out) const;
    // The block as the file holds it, links and count included; valid until
    // the next change.
    const uint8_t* image(size_t blockNo);
    void markAllDirty();
    void clearDirty();

private:
    struct Block {
        uint16_t next = 0;
        uint16_t prev = 0;
        uint16_t count = 0;
        bool dirty = false;
        bool inChain = false;
        const uint8_t* shared = nullptr;  // records in the loaded file's bytes, until first change
        std::unique_ptr<uint8_t[]> own;
        std::vector<uint32_t> tags;
    };

    const uint8_t* data(const Block& b) const { return b.own ? b.own.get() : b.shared; }
    uint8_t* writable(Block& b);
    uint16_t allocateBlock();
    void freeBlock(uint16_t blockNo);
    void setLoc(uint32_t tag, uint16_t block, uint16_t pos);
    void relocateFrom(uint16_t blockNo, int fromPos);
    size_t chainIndexOf(uint16_t blockNo) const;
    void unlink(uint16_t blockNo);

    int recordSize_ = 0;
    int blockSize_ = 0;
    size_t count_ = 0;
    FileBuffer file_;  // the bytes as loaded
    std::vector<Block> blocks_;
    std::vector<uint16_t> chain_;
    std::vector<uint16_t> free_;
    uint32_t tagBase_ = 1;
    uint32_t nextTag_ = 1;
    std::vector<RecordLoc> loc_;  // by tag - tagBase_
    std::function<void(uint32_t, uint16_t)> onMove_;
};

}  // namespace engine
