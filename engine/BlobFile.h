// BlobFile: the memo file (.MB) of a table in memory: the contents of memo,
// formatted memo, binary, OLE and graphic fields that do not fit in the
// record's leader.
//
// The file is a 4 KiB header followed by blocks of whole 4 KiB pages: a
// block with one value (type 2), a page shared by up to 64 small values
// (type 3) or free space (type 4). Values are never changed in place: a new
// value gets new space and the old space is freed. Reads check every offset
// and length against the file, so a damaged file is reported, not followed.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "RecordCodec.h"
#include "Status.h"

namespace engine {

inline constexpr size_t kBlobPage = 4096;

class BlobFile {
public:
    void initEmpty();
    Status load(std::vector<uint8_t>&& file, std::string_view fileName);

    // The value of a blob field (its whole slot in the record).
    Result<std::string> read(const FieldSlot& slot, const uint8_t* field, std::string_view fileName) const;
    // Stores a value into a field slot: in the leader when it fits, otherwise
    // in new space of the file. Never fails; the file grows as needed.
    void write(const FieldSlot& slot, const std::string& value, uint8_t* field);
    // Releases the file space of a field's value, if it has any.
    void release(const FieldSlot& slot, const uint8_t* field);

    bool present() const { return !bytes_.empty(); }
    size_t size() const { return bytes_.size(); }
    const uint8_t* data() const { return bytes_.data(); }
    bool pageDirty(size_t page) const { return page < dirty_.size() && dirty_[page]; }
    void markAllDirty();
    void clearDirty();

private:
    size_t allocate(size_t pages);
    void addFree(size_t page, size_t pages);
    struct Occupancy {
        std::array<bool, 4096 / 16 - 0x150 / 16> used{};
        size_t freeEntries = 0;
        uint8_t lastFree = 0;
    };
    Occupancy occupancy(size_t page) const;
    size_t allocateShared(size_t chunks, size_t& start, uint8_t& index);
    void refreshShared(size_t page);
    void markDirty(size_t offset, size_t len);
    void writeHeader();

    std::vector<uint8_t> bytes_;  // whole pages; a short last page read is padded with zeros
    // Bytes that are really there: values may not reach into the padding.
    size_t present_ = 0;
    std::vector<bool> dirty_;
    // Free blocks by first page: first page and number of pages. New space
    // is taken from the lowest fitting block, so that every process applying
    // the same changes arrives at the same file.
    std::vector<std::pair<size_t, size_t>> free_;
    // Pages shared by small values: free entries and the largest run of free
    // 16-byte chunks, by page.
    struct Shared {
        size_t freeEntries = 0;
        size_t largestGap = 0;
    };
    std::map<size_t, Shared> shared_;
    // The shared pages with a free entry, by their largest run of free chunks.
    std::map<size_t, std::set<size_t>> roomy_;
    void setRoom(size_t page, size_t gap);
    uint16_t modCount_ = 0;
};

}  // namespace engine
