// PrimaryIndex: the block index of a keyed data-type file, as stored in .PX
// (over the .DB) and .YGn (over the .XGn).
//
// Each entry holds the key of the first record of one data block, that
// block's number and how many records it holds; when one index block cannot
// hold every entry, a level above indexes the index blocks, up to a single
// root. The index is derived from the data file's block chain, so it is built
// anew whenever it is written; it is never needed to read the table here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BlockFile.h"
#include "ParadoxHeader.h"
#include "RecordCodec.h"

namespace engine {

// Index blocks are 4 KiB whatever the data blocks are.
inline constexpr uint8_t kIndexBlockKb = 4;

// The complete bytes of an index file over `data`, whose records start with
// the key fields `keyFields` (field definitions in record order).
std::vector<uint8_t> buildBlockIndex(const BlockFile& data, const std::vector<FieldDef>& keyFields, FileKind kind,
                                     const std::string& tableName);

}  // namespace engine
