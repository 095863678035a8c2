// TableModel: a table's rows, memo and indexes in memory as TableState
// keeps them (the images of its files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TableState.h"

namespace engine {

struct TableState::Secondary {
    IndexDef def;
    int field = -1;
    std::vector<FieldDef> xgFields;
    RecordLayout xgLayout;
    std::vector<KeyPart> xgKey;
    BlockFile xg;
    bool ready = false;
    bool mustSort = false;           // the rows changed since the file was written
    std::vector<uint32_t> xgToDb;    // by xg tag - 1
    std::vector<uint32_t> dbToXg;    // by db tag - tagBase
    std::string xgName, ygName;
    std::vector<uint8_t> ygDisk;     // the .YGn as on disk, once read
    bool ygRead = false;
};

struct TableState::Model {
    TableDef def;
    RecordLayout layout;
    FileHeader header;
    BlockFile data;
    BlobFile blobs;
    bool hasBlobs = false;
    std::vector<KeyPart> pk;
    std::vector<Secondary> sec;
    uint32_t tagBase = 1;
    std::string mbName, pxName;
    uint64_t mbDiskSize = 0;
    std::vector<uint8_t> pxDisk;  // the .PX as on disk, once read
    bool pxRead = false;
    bool rewriteNeeded = false;  // the header as written here differs in size from the file's

    uint32_t& dbToXg(Secondary& s, uint32_t dbTag)
    {
        const size_t i = dbTag - tagBase;
        if (s.dbToXg.size() <= i) s.dbToXg.resize(i + 1, 0);
        return s.dbToXg[i];
    }
};

}  // namespace engine
