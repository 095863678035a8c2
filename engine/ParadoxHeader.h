// ParadoxHeader: the header block that opens every Paradox file of a table,
// read from any version (3.0 to 7.x) and written as Paradox 7.
//
// Data-type files (.DB, and the .XGn of a secondary index, which is laid out
// like a small keyed table) carry field types, field names and a sort-order
// name; index-type files (.PX, .YGn) carry only the types of the key fields.
// Parsing checks every length and offset against the bytes at hand, so a
// damaged or foreign file is reported, never read past its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Schema.h"
#include "Status.h"

namespace engine {

enum class FileKind : uint8_t {
    KeyedData = 0,        // .DB with a primary key
    PrimaryIndex = 1,     // .PX
    UnkeyedData = 2,      // .DB without a key
    SecondaryDataOld = 3, // .Xnn
    SecondaryIndexOld = 4,// .Ynn
    SecondaryDataIncOld = 5,
    SecondaryData = 6,    // .XGn
    SecondaryIndex = 7,   // .YGn
    SecondaryDataInc = 8, // .XGn, incrementing
};

inline bool isDataKind(uint8_t fileType)
{
    return fileType == 0 || fileType == 2 || fileType == 3 || fileType == 5 || fileType == 6 || fileType == 8;
}

// Code page written into new tables: Windows-1250.
inline constexpr uint16_t kCodePage1250 = 1250;
// Version byte of Paradox 7 files.
inline constexpr uint8_t kVersion7 = 0x0C;

struct FileHeader {
    uint16_t recordSize = 0;
    uint16_t headerSize = 0x800;
    uint8_t fileType = 0;
    uint8_t blockKb = 4;         // block size in KiB (the "maximum table size" code)
    uint32_t numRecords = 0;
    uint16_t blocksInUse = 0;
    uint16_t fileBlocks = 0;
    uint16_t firstBlock = 0;
    uint16_t lastBlock = 0;
    uint8_t indexFieldNumber = 0;  // .XGn: 1-based field of the table it orders by
    uint16_t indexRoot = 0;        // .PX/.YGn
    uint8_t indexLevels = 0;       // .PX/.YGn
    uint16_t keyFields = 0;
    uint32_t encryption = 0;
    uint8_t sortOrder = 0;
    uint8_t versionId = kVersion7;
    uint32_t autoInc = 0;
    uint16_t firstFreeBlock = 0;
    uint8_t descending = 0;        // .XGn: 0x11 descending, 0x01 ascending
    uint8_t caseless = 0;          // .XGn written here: 1 when the order ignores letter case
    uint32_t stamp = 0;            // changes with every checkpoint (the "update time" field)
    uint16_t codePage = kCodePage1250;

    std::vector<FieldDef> fields;  // names empty for index-type files
    std::string tableName;
    std::string sortOrderName;
    std::string indexName;              // .XGn
    std::vector<uint16_t> fieldNumbers; // .XGn: 1-based table fields of each field
    bool hasIndexCatalog = false;       // .DB written here: the secondary index definitions
    std::vector<IndexDef> indexCatalog;

    int blockSize() const { return int(blockKb) * 1024; }
};

// Reads a header. `fileName` names the file in error messages.
Result<FileHeader> parseHeader(const uint8_t* data, size_t size, std::string_view fileName);

// Builds the header block of a Paradox 7 file of the header's kind.
std::vector<uint8_t> buildHeader(const FileHeader& h);

}  // namespace engine
