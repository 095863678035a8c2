// Messages: every Hungarian error text of the table store, in one place, so
// that the wording never drifts between the places that report the same
// failure. Names passed in are Windows-1250 (as the engine keeps them) and are
// converted here; the results are UTF-8, ready to show after the program's
// own prefix.
#pragma once

#include <string>
#include <string_view>

#include "Status.h"

namespace engine::msg {

Status folderMissing(std::string_view folder);
Status tableMissing(std::string_view table);
Status tableMissingIn(std::string_view table, std::string_view folder);  // names the folder looked in
Status tableExists(std::string_view table);
Status fieldMissing(std::string_view table, std::string_view field);
Status fieldExists(std::string_view table, std::string_view field);
Status indexMissing(std::string_view table, std::string_view index);
Status indexExists(std::string_view table, std::string_view index);
Status noIndexForFields(std::string_view table, std::string_view fields);
Status noPrimaryKey(std::string_view table);
Status rowMissing(std::string_view table);

Status duplicateKey(std::string_view table, std::string_view keyText);
Status textTooLong(std::string_view field, int maxChars);
Status wrongKind(std::string_view field);
Status outOfRange(std::string_view field);
Status keyBlank(std::string_view field);
Status recordShape(std::string_view table, size_t given, size_t expected);

Status badDefinition(std::string_view table, std::string_view what);
Status primaryNotLeading(std::string_view table);
Status tableFull(std::string_view table);

Status readOnly(std::string_view table);
Status needsExclusive(std::string_view table);
Status tableInUse(std::string_view table);
Status fileInUse(std::string_view path);
Status transactionOpen(std::string_view table);
Status noTransaction(std::string_view table);

Status corrupt(std::string_view fileName, std::string_view detail);
// A damaged journal, copied aside as `aside`; what was whole of it stays.
Status journalSetAside(std::string_view journal, std::string_view aside);
Status ioError(std::string_view path, int err);

}  // namespace engine::msg
