#include "BlobFile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "Messages.h"

namespace engine {

namespace {

constexpr uint8_t kHeaderBlock = 0;
constexpr uint8_t kSingleBlob = 2;
constexpr uint8_t kSubAllocated = 3;
constexpr uint8_t kFreeBlock = 4;
constexpr size_t kSingleHeader = 9;
// Graphic values carry eight more bytes before the picture.
constexpr size_t kGraphicExtra = 8;
// Small values share a page: a 12-byte header, 64 five-byte entries, then
// 16-byte chunks from 0x150 on.
constexpr size_t kSubThreshold = 2048;
constexpr size_t kSubEntries = 64;
constexpr size_t kSubFirstChunk = 0x150 / 16;
constexpr size_t kSubChunks = kBlobPage / 16 - kSubFirstChunk;

size_t leaderOf(const FieldSlot& slot) { return size_t(slot.width) - 10; }

}  // namespace

void BlobFile::initEmpty()
{
    bytes_.assign(kBlobPage, 0);
    present_ = kBlobPage;
    dirty_.assign(1, true);
    free_.clear();
    shared_.clear();
    roomy_.clear();
    modCount_ = 1;
    writeHeader();
}

void BlobFile::writeHeader()
{
    uint8_t* h = bytes_.data();
    h[0] = kHeaderBlock;
    putLe16(h + 1, 1);
    putLe16(h + 3, modCount_);
    putLe16(h + 0x0B, 0x1000);
    putLe16(h + 0x0D, 0x1000);
    h[0x10] = 0x10;
    putLe16(h + 0x11, 0x40);
    putLe16(h + 0x13, 0x800);
    markDirty(0, 0x20);
}

Status BlobFile::load(std::vector<uint8_t>&& file, std::string_view fileName)
{
    if (file.size() < kBlobPage || file[0] != kHeaderBlock) return msg::corrupt(fileName, "érvénytelen fejléc.");
    // Other writers leave the last block short of a whole page after a
    // long value; its bytes count, the rest of the page reads as zeros.
    present_ = file.size();
    bytes_ = std::move(file);
    bytes_.resize((present_ + kBlobPage - 1) / kBlobPage * kBlobPage, 0);
    dirty_.assign(bytes_.size() / kBlobPage, false);
    free_.clear();
    shared_.clear();
    roomy_.clear();
    modCount_ = le16(bytes_.data() + 3);
    // Learn the free space by walking the blocks; a block that makes no
    // sense ends the walk, and new values then go to the end of the file.
    size_t page = 1;
    const size_t pages = bytes_.size() / kBlobPage;
    while (page < pages) {
        const uint8_t* b = bytes_.data() + page * kBlobPage;
        const size_t n = le16(b + 1);
        if (n == 0 || page + n > pages || (b[0] != kSingleBlob && b[0] != kSubAllocated && b[0] != kFreeBlock))
            break;
        if (b[0] == kFreeBlock) free_.emplace_back(page, n);
        if (b[0] == kSubAllocated) refreshShared(page);
        page += n;
    }
    if (page < pages) {
        bytes_.resize(page * kBlobPage);
        dirty_.resize(page);
        present_ = std::min(present_, bytes_.size());
    }
    return Status::ok();
}

Result<std::string> BlobFile::read(const FieldSlot& slot, const uint8_t* field, std::string_view fileName) const
{
    const BlobRef ref = readBlobRef(slot, field);
    if (ref.length == 0) return std::string();
    const size_t leader = leaderOf(slot);
    const bool graphic = slot.type == FieldType::Graphic;
    if (ref.length <= leader && !graphic) return std::string(reinterpret_cast<const char*>(field), ref.length);
    if (ref.offset == 0 || size_t(ref.offset) + kBlobPage > bytes_.size() || ref.offset % kBlobPage != 0)
        return msg::corrupt(fileName, "érvénytelen memóhivatkozás.");
    const uint8_t* b = bytes_.data() + ref.offset;
    if (ref.index == 0xFF) {
        const size_t header = kSingleHeader + (graphic ? kGraphicExtra : 0);
        const size_t blockLen = size_t(le16(b + 1)) * kBlobPage;
        if (b[0] != kSingleBlob || le32(b + 3) != ref.length || size_t(ref.offset) + blockLen > bytes_.size())
            return msg::corrupt(fileName, "érvénytelen memóblokk.");
        const size_t dataLen = graphic ? (ref.length >= kGraphicExtra ? ref.length - kGraphicExtra : 0) : ref.length;
        if (header + dataLen > blockLen || ref.offset + header + dataLen > present_)
            return msg::corrupt(fileName, "érvénytelen memóblokk.");
        return std::string(reinterpret_cast<const char*>(b + header), dataLen);
    }
    if (b[0] != kSubAllocated || ref.index >= 64) return msg::corrupt(fileName, "érvénytelen memóblokk.");
    const uint8_t* e = b + 12 + size_t(ref.index) * 5;
    const size_t start = size_t(e[0]) * 16;
    const size_t len = e[1] == 0 ? 0 : (size_t(e[1]) - 1) * 16 + e[4];
    if (start == 0 || len != ref.length || start + len > kBlobPage || ref.offset + start + len > present_)
        return msg::corrupt(fileName, "érvénytelen memóbejegyzés.");
    const size_t skip = graphic ? std::min(kGraphicExtra, len) : 0;
    return std::string(reinterpret_cast<const char*>(b + start + skip), len - skip);
}

void BlobFile::markDirty(size_t offset, size_t len)
{
    const size_t first = offset / kBlobPage;
    const size_t last = (offset + std::max<size_t>(len, 1) - 1) / kBlobPage;
    if (dirty_.size() <= last) dirty_.resize(last + 1, false);
    for (size_t p = first; p <= last; ++p) dirty_[p] = true;
}

size_t BlobFile::allocate(size_t pages)
{
    for (size_t i = 0; i < free_.size(); ++i) {
        auto [page, n] = free_[i];
        if (n < pages) continue;
        if (n == pages) {
            free_.erase(free_.begin() + std::ptrdiff_t(i));
        } else {
            free_[i] = {page + pages, n - pages};
            uint8_t* rest = bytes_.data() + (page + pages) * kBlobPage;
            rest[0] = kFreeBlock;
            putLe16(rest + 1, uint16_t(n - pages));
            markDirty((page + pages) * kBlobPage, 3);
        }
        return page;
    }
    const size_t page = bytes_.size() / kBlobPage;
    bytes_.resize(bytes_.size() + pages * kBlobPage, 0);
    present_ = bytes_.size();
    markDirty(page * kBlobPage, pages * kBlobPage);
    return page;
}

void BlobFile::write(const FieldSlot& slot, const std::string& value, uint8_t* field)
{
    const size_t leader = leaderOf(slot);
    const bool graphic = slot.type == FieldType::Graphic;
    std::memset(field, 0, size_t(slot.width));
    BlobRef ref;
    if (value.empty()) {
        writeBlobRef(slot, ref, field);
        return;
    }
    std::memcpy(field, value.data(), std::min(leader, value.size()));
    const size_t stored = value.size() + (graphic ? kGraphicExtra : 0);
    ref.length = uint32_t(stored);
    if ((value.size() > leader || graphic) && bytes_.empty()) initEmpty();
    if (value.size() > leader && !graphic && value.size() <= kSubThreshold) {
        const size_t chunks = (value.size() + 15) / 16;
        size_t start = 0;
        uint8_t index = 0;
        const size_t page = allocateShared(chunks, start, index);
        uint8_t* b = bytes_.data() + page * kBlobPage;
        std::memcpy(b + (kSubFirstChunk + start) * 16, value.data(), value.size());
        modCount_ = uint16_t(modCount_ + 1);
        uint8_t* e = b + 12 + size_t(index) * 5;
        e[0] = uint8_t(kSubFirstChunk + start);
        e[1] = uint8_t(chunks);
        putLe16(e + 2, modCount_);
        e[4] = uint8_t(value.size() % 16 ? value.size() % 16 : 16);
        markDirty(page * kBlobPage, kBlobPage);
        putLe16(bytes_.data() + 3, modCount_);
        markDirty(0, 8);
        refreshShared(page);
        ref.offset = uint32_t(page * kBlobPage);
        ref.index = index;
        ref.modNr = modCount_;
    } else if (value.size() > leader || graphic) {
        const size_t header = kSingleHeader + (graphic ? kGraphicExtra : 0);
        const size_t pages = (value.size() + header + kBlobPage - 1) / kBlobPage;
        const size_t page = allocate(pages);
        uint8_t* b = bytes_.data() + page * kBlobPage;
        std::memset(b, 0, pages * kBlobPage);
        b[0] = kSingleBlob;
        putLe16(b + 1, uint16_t(pages));
        putLe32(b + 3, uint32_t(stored));
        modCount_ = uint16_t(modCount_ + 1);
        putLe16(b + 7, modCount_);
        if (graphic) putLe32(b + kSingleHeader + 4, uint32_t(value.size()));
        std::memcpy(b + header, value.data(), value.size());
        markDirty(page * kBlobPage, pages * kBlobPage);
        putLe16(bytes_.data() + 3, modCount_);
        markDirty(0, 8);
        ref.offset = uint32_t(page * kBlobPage);
        ref.index = 0xFF;
        ref.modNr = modCount_;
    }
    writeBlobRef(slot, ref, field);
}

void BlobFile::release(const FieldSlot& slot, const uint8_t* field)
{
    const BlobRef ref = readBlobRef(slot, field);
    if (ref.length == 0 || ref.offset == 0 || ref.offset % kBlobPage != 0 ||
        size_t(ref.offset) + kBlobPage > bytes_.size())
        return;
    uint8_t* b = bytes_.data() + ref.offset;
    const size_t page = ref.offset / kBlobPage;
    if (ref.index == 0xFF) {
        if (b[0] != kSingleBlob) return;
        const size_t n = le16(b + 1);
        if (n == 0 || page + n > bytes_.size() / kBlobPage) return;
        b[0] = kFreeBlock;
        markDirty(ref.offset, 3);
        addFree(page, n);
        return;
    }
    if (b[0] != kSubAllocated || ref.index >= kSubEntries) return;
    uint8_t* e = b + 12 + size_t(ref.index) * 5;
    std::memset(e, 0, 5);
    markDirty(ref.offset, kBlobPage);
    refreshShared(page);
    if (shared_[page].freeEntries < kSubEntries) return;
    // Its last value gone, the page is free space again.
    setRoom(page, 0);
    shared_.erase(page);
    b[0] = kFreeBlock;
    putLe16(b + 1, 1);
    addFree(page, 1);
}

// Which 16-byte chunks of a shared page hold values, and how many entries
// are free; the highest free entry is `lastFree`.
BlobFile::Occupancy BlobFile::occupancy(size_t page) const
{
    const uint8_t* b = bytes_.data() + page * kBlobPage;
    Occupancy o;
    for (size_t i = 0; i < kSubEntries; ++i) {
        const uint8_t* e = b + 12 + i * 5;
        if (e[4] == 0) {
            ++o.freeEntries;
            o.lastFree = uint8_t(i);
            continue;
        }
        for (size_t c = e[0]; c < size_t(e[0]) + e[1]; ++c)
            if (c >= kSubFirstChunk && c - kSubFirstChunk < kSubChunks) o.used[c - kSubFirstChunk] = true;
    }
    return o;
}

void BlobFile::refreshShared(size_t page)
{
    const Occupancy o = occupancy(page);
    Shared info;
    info.freeEntries = o.freeEntries;
    size_t run = 0;
    for (size_t c = 0; c < kSubChunks; ++c) {
        run = o.used[c] ? 0 : run + 1;
        info.largestGap = std::max(info.largestGap, run);
    }
    setRoom(page, info.freeEntries > 0 ? info.largestGap : 0);
    shared_[page] = info;
}

void BlobFile::setRoom(size_t page, size_t gap)
{
    if (const auto it = shared_.find(page); it != shared_.end() && it->second.freeEntries > 0) {
        auto bucket = roomy_.find(it->second.largestGap);
        if (bucket != roomy_.end()) {
            bucket->second.erase(page);
            if (bucket->second.empty()) roomy_.erase(bucket);
        }
    }
    if (gap > 0) roomy_[gap].insert(page);
}

size_t BlobFile::allocateShared(size_t chunks, size_t& start, uint8_t& index)
{
    size_t page = 0;
    // The lowest page among those with a run long enough.
    for (auto it = roomy_.lower_bound(chunks); it != roomy_.end(); ++it)
        if (page == 0 || *it->second.begin() < page) page = *it->second.begin();
    if (page == 0) {
        page = allocate(1);
        uint8_t* b = bytes_.data() + page * kBlobPage;
        std::memset(b, 0, kBlobPage);
        b[0] = kSubAllocated;
        putLe16(b + 1, 1);
        refreshShared(page);
    }
    // The lowest gap that fits, and the highest free entry (as others fill
    // these pages).
    const Occupancy o = occupancy(page);
    index = o.lastFree;
    size_t run = 0;
    for (size_t c = 0; c < kSubChunks; ++c) {
        run = o.used[c] ? 0 : run + 1;
        if (run == chunks) {
            start = c + 1 - chunks;
            break;
        }
    }
    return page;
}

void BlobFile::addFree(size_t page, size_t pages)
{
    const std::pair<size_t, size_t> entry{page, pages};
    free_.insert(std::lower_bound(free_.begin(), free_.end(), entry), entry);
}

void BlobFile::markAllDirty() { dirty_.assign(bytes_.size() / kBlobPage, true); }

void BlobFile::clearDirty() { std::fill(dirty_.begin(), dirty_.end(), false); }

}  // namespace engine
