// PrimaryIndex: the block index of a keyed data-type file, as stored in .PX
// (over the .DB) and .YGn (over the .XGn).
//
// Each entry holds the key of the first record of one data block, that
// block's number and how many records it holds; when one index block cannot
// hold every entry, a level above indexes the index blocks, up to a single
// root. The index is derived from the data file's block chain, so it is built
// anew whenever it is written; it is never needed to read the table here, but
// a chain that disagrees with it shows damage that the chain alone can hide.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// Whether the index file `index` (written here or by another program) names
// exactly the blocks of `data` that hold records, in chain order, walked from
// its root down. An index that cannot be walked is reported as damage to
// `indexName`; one that names other blocks as damage to `dataName`, whose
// chain lost or gained blocks.
Status checkBlockIndex(const std::vector<uint8_t>& index, const BlockFile& data,
                       const std::vector<FieldDef>& keyFields, std::string_view indexName, std::string_view dataName);

}  // namespace engine
