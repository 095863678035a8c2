#include "ParadoxHeader.h"

#include <cstring>

#include "Messages.h"
#include "RecordCodec.h"

namespace engine {

namespace {

// Offsets in the common part of the header.
enum : size_t {
    kRecordSize = 0x00,
    kHeaderSize = 0x02,
    kFileType = 0x04,
    kBlockKb = 0x05,
    kNumRecords = 0x06,
    kBlocksInUse = 0x0A,
    kFileBlocks = 0x0C,
    kFirstBlock = 0x0E,
    kLastBlock = 0x10,
    kUnknown12 = 0x12,
    kIndexFieldNumber = 0x15,
    kIndexRoot = 0x1E,
    kIndexLevels = 0x20,
    kNumFields = 0x21,
    kKeyFields = 0x23,
    kEncryption1 = 0x25,
    kSortOrder = 0x29,
    kCaseless = 0x2B,  // a byte older writers leave 0; here 1 marks a case-insensitive .XGn
    kChangeCount1 = 0x2D,
    kChangeCount2 = 0x2E,
    kVersionId = 0x39,
    kMaxBlocks = 0x3A,
    kFixed3E = 0x3E,
    kAutoInc = 0x49,
    kFirstFree = 0x4D,
    kRealHeaderSize = 0x51,
    kDirection = 0x55,
    kFixed56 = 0x56,
    kCommonEnd = 0x58,
    // Data header of version 4 and later data-type files.
    kVerId3 = 0x58,
    kVerId4 = 0x5A,
    kEncryption2 = 0x5C,
    kStamp = 0x60,
    kHiFieldId = 0x64,
    kHiFieldIdInfo = 0x66,
    kSometimesNumFields = 0x68,
    kCodePage = 0x6A,
    kUnknown6C = 0x6C,
    kDataEnd = 0x78,
};

constexpr char kCatalogMagic[4] = {'N', 'Y', 'X', 'I'};

bool knownType(uint8_t t)
{
    switch (t) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x09: case 0x0C: case 0x0D:
    case 0x0E: case 0x0F: case 0x10: case 0x14: case 0x15: case 0x16: case 0x17: case 0x18:
        return true;
    default:
        return false;
    }
}

int tableNameLength(uint8_t versionId) { return versionId >= 12 ? 261 : 79; }

bool hasDataHeader(uint8_t fileType, uint8_t versionId) { return isDataKind(fileType) && versionId >= 5; }

// A bounded reader over the variable part of the header.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t end, size_t pos) : data_(data), end_(end), pos_(pos) {}
    bool skip(size_t n)
    {
        if (n > end_ - pos_) return false;
        pos_ += n;
        return true;
    }
    bool cstring(std::string& out, size_t maxLen)
    {
        const size_t limit = std::min(end_, pos_ + maxLen);
        for (size_t i = pos_; i < limit; ++i) {
            if (data_[i] == 0) {
                out.assign(reinterpret_cast<const char*>(data_ + pos_), i - pos_);
                pos_ = i + 1;
                return true;
            }
        }
        return false;
    }
    bool fixedString(std::string& out, size_t len)
    {
        if (len > end_ - pos_) return false;
        const uint8_t* p = data_ + pos_;
        const void* z = std::memchr(p, 0, len);
        out.assign(reinterpret_cast<const char*>(p), z ? size_t(static_cast<const uint8_t*>(z) - p) : len);
        pos_ += len;
        return true;
    }
    bool u16(uint16_t& v)
    {
        if (end_ - pos_ < 2) return false;
        v = le16(data_ + pos_);
        pos_ += 2;
        return true;
    }
    bool u8(uint8_t& v)
    {
        if (end_ - pos_ < 1) return false;
        v = data_[pos_++];
        return true;
    }
    bool matches(const char* magic, size_t n)
    {
        if (end_ - pos_ < n || std::memcmp(data_ + pos_, magic, n) != 0) return false;
        pos_ += n;
        return true;
    }
    size_t pos() const { return pos_; }

private:
    const uint8_t* data_;
    size_t end_;
    size_t pos_;
};

void parseCatalog(Cursor& c, FileHeader& h)
{
    uint8_t version = 0, count = 0;
    if (!c.matches(kCatalogMagic, 4) || !c.u8(version) || version != 1 || !c.u8(count)) return;
    std::vector<IndexDef> defs;
    for (int i = 0; i < count; ++i) {
        IndexDef d;
        uint8_t flags = 0, nFields = 0;
        if (!c.u8(flags) || !c.cstring(d.name, 256) || !c.u8(nFields)) return;
        d.caseInsensitive = flags & 1;
        d.descending = flags & 2;
        for (int k = 0; k < nFields; ++k) {
            std::string f;
            if (!c.cstring(f, 256)) return;
            d.fields.push_back(f);
        }
        defs.push_back(std::move(d));
    }
    h.hasIndexCatalog = true;
    h.indexCatalog = std::move(defs);
}

}  // namespace

Result<FileHeader> parseHeader(const uint8_t* data, size_t size, std::string_view fileName)
{
    if (size < kCommonEnd) return msg::corrupt(fileName, "a fájl rövidebb a fejlécénél.");
    FileHeader h;
    h.recordSize = le16(data + kRecordSize);
    h.headerSize = le16(data + kHeaderSize);
    h.fileType = data[kFileType];
    h.blockKb = data[kBlockKb];
    h.numRecords = le32(data + kNumRecords);
    h.blocksInUse = le16(data + kBlocksInUse);
    h.fileBlocks = le16(data + kFileBlocks);
    h.firstBlock = le16(data + kFirstBlock);
    h.lastBlock = le16(data + kLastBlock);
    h.indexFieldNumber = data[kIndexFieldNumber];
    h.indexRoot = le16(data + kIndexRoot);
    h.indexLevels = data[kIndexLevels];
    const uint16_t numFields = le16(data + kNumFields);
    h.keyFields = le16(data + kKeyFields);
    h.sortOrder = data[kSortOrder];
    h.caseless = data[kCaseless];
    h.versionId = data[kVersionId];
    h.autoInc = le32(data + kAutoInc);
    h.firstFreeBlock = le16(data + kFirstFree);
    h.descending = data[kDirection];

    if (h.fileType > 8) return msg::corrupt(fileName, "ismeretlen fájltípus.");
    if (h.versionId < 3 || h.versionId > 15) return msg::corrupt(fileName, "ismeretlen formátumváltozat.");
    if (h.blockKb < 1 || h.blockKb > 32) return msg::corrupt(fileName, "érvénytelen blokkméret.");
    if (h.recordSize == 0) return msg::corrupt(fileName, "nulla rekordhossz.");
    if (h.headerSize < kCommonEnd || h.headerSize > size)
        return msg::corrupt(fileName, "érvénytelen fejléchossz.");
    if (numFields == 0 || numFields > 255) return msg::corrupt(fileName, "érvénytelen mezőszám.");
    if (h.keyFields > numFields) return msg::corrupt(fileName, "érvénytelen kulcsmezőszám.");

    const bool dataKind = isDataKind(h.fileType);
    const bool dataHeader = hasDataHeader(h.fileType, h.versionId);
    if (dataHeader && h.headerSize < kDataEnd) return msg::corrupt(fileName, "érvénytelen fejléchossz.");
    uint32_t encryption = le32(data + kEncryption1);
    if (dataHeader) {
        if (encryption == 0xFF00FF00u) encryption = le32(data + kEncryption2);
        h.stamp = le32(data + kStamp);
        h.codePage = le16(data + kCodePage);
    }
    h.encryption = encryption;

    Cursor c(data, h.headerSize, dataHeader ? kDataEnd : kCommonEnd);
    int width = 0;
    for (int i = 0; i < numFields; ++i) {
        uint8_t type = 0, sizeByte = 0;
        if (!c.u8(type) || !c.u8(sizeByte)) return msg::corrupt(fileName, "csonka mezőleírás.");
        if (!knownType(type)) return msg::corrupt(fileName, "ismeretlen mezőtípus.");
        FieldDef f;
        f.type = FieldType(type);
        f.size = RecordLayout::sizeFromHeader(f.type, sizeByte);
        if (f.size < 0) return msg::corrupt(fileName, "érvénytelen mezőhossz.");
        width += RecordLayout::widthOf(f.type, f.size);
        h.fields.push_back(f);
    }
    const int expected = dataKind ? width : width + 6;
    if (expected != h.recordSize) return msg::corrupt(fileName, "a rekordhossz nem egyezik a mezőkkel.");
    if (h.blockSize() - 6 < h.recordSize) return msg::corrupt(fileName, "a rekord nem fér el egy blokkban.");

    if (!c.skip(4) || (dataKind && !c.skip(size_t(numFields) * 4)) ||
        !c.fixedString(h.tableName, size_t(tableNameLength(h.versionId))))
        return msg::corrupt(fileName, "csonka fejléc.");
    if (dataKind) {
        for (FieldDef& f : h.fields)
            if (!c.cstring(f.name, 256)) return msg::corrupt(fileName, "csonka mezőnév.");
        // What follows is optional for readers: field numbers, the sort
        // order's name and, in a secondary index, the index's name.
        bool tail = true;
        for (int i = 0; i < numFields && tail; ++i) {
            uint16_t n = 0;
            tail = c.u16(n);
            if (tail) h.fieldNumbers.push_back(n);
        }
        if (tail) tail = c.cstring(h.sortOrderName, 256);
        if (tail && h.fileType != uint8_t(FileKind::KeyedData) && h.fileType != uint8_t(FileKind::UnkeyedData))
            tail = c.cstring(h.indexName, 256);
        if (tail) parseCatalog(c, h);
    }
    return h;
}

std::vector<uint8_t> buildHeader(const FileHeader& h)
{
    const bool dataKind = isDataKind(h.fileType);
    const size_t numFields = h.fields.size();
    const size_t nameLen = size_t(tableNameLength(kVersion7));

    // The variable part, assembled first to learn the header's size.
    std::vector<uint8_t> var;
    auto put8 = [&](uint8_t v) { var.push_back(v); };
    auto put16 = [&](uint16_t v) {
        var.push_back(uint8_t(v));
        var.push_back(uint8_t(v >> 8));
    };
    auto putStr = [&](const std::string& s) {
        var.insert(var.end(), s.begin(), s.end());
        var.push_back(0);
    };
    for (const FieldDef& f : h.fields) {
        put8(uint8_t(f.type));
        put8(uint8_t(RecordLayout::headerSizeByte(f.type, f.size)));
    }
    var.insert(var.end(), 4, 0);  // table name pointer (meaningful only in memory)
    if (dataKind) var.insert(var.end(), numFields * 4, 0);
    {
        std::string name = h.tableName.substr(0, nameLen - 1);
        name.resize(nameLen, '\0');
        var.insert(var.end(), name.begin(), name.end());
    }
    if (dataKind) {
        for (const FieldDef& f : h.fields) putStr(f.name);
        for (size_t i = 0; i < numFields; ++i)
            put16(i < h.fieldNumbers.size() ? h.fieldNumbers[i] : uint16_t(i + 1));
        putStr(h.sortOrderName);
        if (h.fileType != uint8_t(FileKind::KeyedData) && h.fileType != uint8_t(FileKind::UnkeyedData))
            putStr(h.indexName);
        if (h.hasIndexCatalog) {
            var.insert(var.end(), kCatalogMagic, kCatalogMagic + 4);
            put8(1);
            put8(uint8_t(h.indexCatalog.size()));
            for (const IndexDef& d : h.indexCatalog) {
                put8(uint8_t((d.caseInsensitive ? 1 : 0) | (d.descending ? 2 : 0)));
                putStr(d.name);
                put8(uint8_t(d.fields.size()));
                for (const std::string& f : d.fields) putStr(f);
            }
        }
    }

    const size_t start = dataKind ? kDataEnd : kCommonEnd;
    const size_t used = start + var.size();
    const size_t headerSize = (used + 0x7FF) / 0x800 * 0x800;
    std::vector<uint8_t> out(headerSize, 0);
    uint8_t* d = out.data();
    putLe16(d + kRecordSize, h.recordSize);
    putLe16(d + kHeaderSize, uint16_t(headerSize));
    d[kFileType] = h.fileType;
    d[kBlockKb] = h.blockKb;
    putLe32(d + kNumRecords, h.numRecords);
    putLe16(d + kBlocksInUse, h.blocksInUse);
    putLe16(d + kFileBlocks, h.fileBlocks);
    putLe16(d + kFirstBlock, h.firstBlock);
    putLe16(d + kLastBlock, h.lastBlock);
    putLe16(d + kUnknown12, h.fileType == uint8_t(FileKind::PrimaryIndex) ? 17 : 12);
    d[kIndexFieldNumber] = h.indexFieldNumber;
    putLe16(d + kIndexRoot, h.indexRoot);
    d[kIndexLevels] = h.indexLevels;
    putLe16(d + kNumFields, uint16_t(numFields));
    putLe16(d + kKeyFields, h.keyFields);
    if (dataKind) putLe32(d + kEncryption1, 0xFF00FF00u);
    d[kSortOrder] = h.sortOrder;
    d[kCaseless] = h.caseless;
    d[kChangeCount1] = 2;
    d[kChangeCount2] = 1;
    d[kVersionId] = kVersion7;
    putLe16(d + kMaxBlocks, h.fileBlocks);
    if (dataKind) {
        d[kFixed3E] = 0x1F;
        d[kFixed3E + 1] = 0x0F;
        d[kFixed56] = 0x20;
    }
    putLe32(d + kAutoInc, h.autoInc);
    putLe16(d + kFirstFree, h.firstFreeBlock);
    putLe16(d + kRealHeaderSize, uint16_t(used));
    d[kDirection] = h.descending;
    if (dataKind) {
        putLe16(d + kVerId3, 0x0100 | kVersion7);
        putLe16(d + kVerId4, 0x0100 | kVersion7);
        putLe32(d + kStamp, h.stamp);
        putLe16(d + kHiFieldId, uint16_t(numFields + 1));
        putLe16(d + kHiFieldIdInfo, uint16_t(used - 0x58));
        putLe16(d + kSometimesNumFields, uint16_t(numFields));
        putLe16(d + kCodePage, h.codePage);
        d[kUnknown6C] = 1;
        d[kUnknown6C + 1] = 1;
    }
    std::memcpy(d + start, var.data(), var.size());
    return out;
}

}  // namespace engine
