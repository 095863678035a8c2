#include "PrimaryIndex.h"

#include <cstring>

namespace engine {

namespace {

struct Entry {
    const uint8_t* key;  // key bytes of a record (keyWidth of them)
    uint16_t block;
    uint32_t records;
};

}  // namespace

std::vector<uint8_t> buildBlockIndex(const BlockFile& data, const std::vector<FieldDef>& keyFields, FileKind kind,
                                     const std::string& tableName)
{
    int keyWidth = 0;
    for (const FieldDef& f : keyFields) keyWidth += RecordLayout::widthOf(f.type, f.size);
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

}  // namespace engine
