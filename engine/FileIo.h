// FileIo: whole reads and writes at an offset, directory listing without
// regard to letter case, and the other small file-system steps of the store,
// each reporting failure as a Status naming the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace engine {

Status readExact(int fd, void* buf, size_t n, uint64_t offset);
Status writeExact(int fd, const void* buf, size_t n, uint64_t offset, std::string_view path);
// The whole file; a missing file gives NotFound.
Result<std::vector<uint8_t>> readWholeFile(const std::string& path);
Result<std::vector<uint8_t>> readWholeFd(int fd, const std::string& path);
// Writes a complete new file and syncs it.
Status writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes);
Status syncDirectory(const std::string& folder);

// Names of the folder's entries.
Result<std::vector<std::string>> listFolder(const std::string& folder);
// The entry of `folder` whose name equals `name` without regard to letter
// case (Windows-1250), preferring an exact match.
std::optional<std::string> findEntry(const std::vector<std::string>& entries, std::string_view name);

std::string joinPath(const std::string& folder, std::string_view name);

}  // namespace engine
