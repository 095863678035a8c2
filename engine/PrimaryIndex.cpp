#include "PrimaryIndex.h"

#include <cstring>

#include "Codepage.h"
#include "Messages.h"

namespace engine {

namespace {

// The most levels an index over 65,535 blocks can need, with room to spare.
constexpr int kMaxIndexLevels = 16;

int keyWidthOf(const std::vector<FieldDef>& keyFields)
{
    int width = 0;
    for (const FieldDef& f : keyFields) width += RecordLayout::widthOf(f.type, f.size);
    return width;
}

struct Entry {
    const uint8_t* key;  // key bytes of a record (keyWidth of them)
    uint16_t block;
    uint32_t records;
};

}  // namespace

std::vector<uint8_t> buildBlockIndex(const BlockFile& data, const std::vector<FieldDef>& keyFields, FileKind kind,
                                     const std::string& tableName)
{
    const int keyWidth = keyWidthOf(keyFields);
    const size_t recSize = size_t(keyWidth) + 6;
    const size_t blockSize = size_t(kIndexBlockKb) * 1024;
    const size_t perBlock = (blockSize - 6) / recSize;

    // Level 1: one entry per data block, along the data file's chain.
    std::vector<Entry> level;
    data.forEachBlock([&](uint16_t block, const uint8_t* first, uint16_t count) {
        level.push_back(Entry{first, block, count});
    });

    std::vector<std::vector<uint8_t>> blocks;  // index blocks in chain order
    size_t totalEntries = 0;
    int levels = 0;
    while (!level.empty()) {
        ++levels;
        std::vector<Entry> upper;
        for (size_t i = 0; i < level.size(); i += perBlock) {
            const size_t n = std::min(perBlock, level.size() - i);
            std::vector<uint8_t> b(blockSize, 0);
            uint32_t sum = 0;
            for (size_t k = 0; k < n; ++k) {
                const Entry& e = level[i + k];
                uint8_t* r = b.data() + 6 + k * recSize;
                std::memcpy(r, e.key, size_t(keyWidth));
                putIndexShort(r + keyWidth, e.block);
                putIndexShort(r + keyWidth + 2, uint16_t(std::min<uint32_t>(e.records, 0x7FFF)));
                putIndexShort(r + keyWidth + 4, 0);
                sum += e.records;
            }
            putLe16(b.data() + 4, uint16_t(int16_t((int(n) - 1) * int(recSize))));
            blocks.push_back(std::move(b));
            upper.push_back(Entry{level[i].key, uint16_t(blocks.size()), sum});
            totalEntries += n;
        }
        if (upper.size() == 1) break;
        level = std::move(upper);
    }
    // One chain through every block, lower levels first.
    for (size_t i = 0; i < blocks.size(); ++i) {
        putLe16(blocks[i].data(), i + 1 < blocks.size() ? uint16_t(i + 2) : 0);
        putLe16(blocks[i].data() + 2, uint16_t(i));
    }

    FileHeader h;
    h.fileType = uint8_t(kind);
    h.blockKb = kIndexBlockKb;
    h.recordSize = uint16_t(recSize);
    h.fields = keyFields;
    for (FieldDef& f : h.fields) f.name.clear();
    h.keyFields = 0;
    h.numRecords = uint32_t(totalEntries);
    h.fileBlocks = h.blocksInUse = uint16_t(blocks.size());
    h.firstBlock = blocks.empty() ? 0 : 1;
    h.lastBlock = uint16_t(blocks.size());
    h.indexRoot = uint16_t(blocks.size());
    h.indexLevels = uint8_t(levels);
    h.tableName = tableName;
    std::vector<uint8_t> out = buildHeader(h);
    for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
    return out;
}

Status checkBlockIndex(const std::vector<uint8_t>& index, const BlockFile& data,
                       const std::vector<FieldDef>& keyFields, std::string_view indexName, std::string_view dataName)
{
    Result<FileHeader> h = parseHeader(index.data(), index.size(), indexName);
    if (!h.isOk()) return h.status();
    const size_t keyWidth = size_t(keyWidthOf(keyFields));
    const size_t recSize = keyWidth + 6;
    if (h->fileType != uint8_t(FileKind::PrimaryIndex) || h->recordSize != recSize)
        return msg::corrupt(indexName, "az index nem illik a táblához.");
    const size_t blockSize = size_t(h->blockSize());
    if (blockSize == 0 || h->indexLevels > kMaxIndexLevels) return msg::corrupt(indexName, "érvénytelen indexfejléc.");
    if (index.size() < h->headerSize + size_t(h->fileBlocks) * blockSize)
        return msg::corrupt(indexName, "a fájl csonka (hiányzó indexblokkok).");

    std::vector<uint16_t> chain;
    data.forEachBlock([&](uint16_t block, const uint8_t*, uint16_t) { chain.push_back(block); });
    size_t matched = 0;  // data blocks of the chain met so far
    bool agrees = true;
    // Each index block is met once at most, so a damaged pointer can neither
    // loop nor multiply the work.
    std::vector<bool> seen(size_t(h->fileBlocks) + 1, false);
    const auto walk = [&](auto& self, uint16_t block, int level) -> Status {
        if (block == 0 || block > h->fileBlocks || seen[block])
            return msg::corrupt(indexName, "érvénytelen indexblokk-hivatkozás.");
        seen[block] = true;
        const uint8_t* b = index.data() + h->headerSize + (block - 1) * blockSize;
        const int used = int16_t(le16(b + 4)) + int(recSize);
        if (used < 0 || size_t(used) % recSize != 0 || 6 + size_t(used) > blockSize)
            return msg::corrupt(indexName, "érvénytelen indexblokk-foglaltság.");
        for (size_t i = 0; i < size_t(used) / recSize && agrees; ++i) {
            const uint16_t target = getIndexShort(b + 6 + i * recSize + keyWidth);
            if (level > 1) {
                if (Status s = self(self, target, level - 1); !s.isOk()) return s;
            } else if (matched < chain.size() && chain[matched] == target) {
                ++matched;
            } else {
                agrees = false;
            }
        }
        return Status::ok();
    };
    if (h->indexLevels > 0 && h->indexRoot != 0)
        if (Status s = walk(walk, h->indexRoot, h->indexLevels); !s.isOk()) return s;
    if (!agrees || matched != chain.size())
        return msg::corrupt(dataName, "a blokklánc nem egyezik a(z) " + cp1250ToUtf8(indexName) +
                                          " index blokklistájával.");
    return Status::ok();
}

}  // namespace engine
