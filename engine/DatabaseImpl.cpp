#include "DatabaseImpl.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Codepage.h"
#include "FileIo.h"
#include "FileLock.h"
#include "Messages.h"
#include "TableImpl.h"

namespace engine {

namespace {

bool endsWithDb(std::string_view name)
{
    return name.size() > 3 && sameName(name.substr(name.size() - 3), ".DB");
}

std::string tableStem(std::string_view name)
{
    if (endsWithDb(name)) name.remove_suffix(3);
    return std::string(name);
}

bool validTableName(std::string_view stem)
{
    return !stem.empty() && stem.size() <= 64 && stem.find('/') == std::string_view::npos &&
           stem.find('\0') == std::string_view::npos && stem != "." && stem != "..";
}

}  // namespace

Result<std::shared_ptr<Database>> Database::open(const std::string& folder)
{
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return msg::folderMissing(folder);
    return std::shared_ptr<Database>(std::make_shared<DatabaseImpl>(folder));
}

Result<std::vector<std::string>> DatabaseImpl::tableNames()
{
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return entries.status();
    std::vector<std::string> out;
    for (const std::string& e : *entries)
        if (endsWithDb(e)) out.push_back(e.substr(0, e.size() - 3));
    return out;
}

Result<std::shared_ptr<Table>> DatabaseImpl::openTable(std::string_view name, OpenMode mode)
{
    const std::string stem = tableStem(name);
    if (!validTableName(stem)) return msg::tableMissing(stem);
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return entries.status();
    const std::optional<std::string> file = findEntry(*entries, stem + ".DB");
    if (!file) return msg::tableMissingIn(stem, folder_);
    const std::string key = lowerCp1250(file->substr(0, file->size() - 3));
    std::shared_ptr<TableState>& state = tables_[key];
    if (state && (state->dbFile() != *file || (state->handles() == 0 && !state->keptAfterClose()))) state.reset();
    if (!state) {
        Result<std::shared_ptr<TableState>> opened = TableState::open(folder_, *file, mode);
        if (!opened.isOk()) {
            tables_.erase(key);
            return opened.status();
        }
        state = *opened;
    } else if (state->handles() == 0) {
        // Closed, with its rows kept: cheap when nothing changed meanwhile.
        if (Status s = state->reopen(mode); !s.isOk()) {
            tables_.erase(key);
            return s;
        }
    }
    if (Status s = state->attach(mode); !s.isOk()) return s;
    return std::shared_ptr<Table>(std::make_shared<TableImpl>(state, mode));
}

Status DatabaseImpl::createTable(std::string_view name, const TableDef& def)
{
    const std::string stem = tableStem(name);
    if (!validTableName(stem)) return msg::badDefinition(stem, "érvénytelen táblanév.");
    // Creators take turns on the folder, so that of two creating the same
    // table one succeeds and the other finds it there. The kernel lets go
    // of the lock with its holder.
    const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return msg::ioError(folder_, errno);
    while (flock(dir, LOCK_EX) != 0)
        if (errno != EINTR) {
            const int err = errno;
            ::close(dir);
            return msg::ioError(folder_, err);
        }
    Result<std::vector<std::string>> entries = listFolder(folder_);
    Status s = entries.status();
    if (s.isOk() && findEntry(*entries, stem + ".DB")) s = msg::tableExists(stem);
    if (s.isOk()) s = TableState::create(folder_, stem, def);
    ::close(dir);
    return s;
}

Status DatabaseImpl::deleteTableFile(std::string_view fileName)
{
    Result<std::vector<std::string>> entries = listFolder(folder_);
    if (!entries.isOk()) return entries.status();
    const std::optional<std::string> file = findEntry(*entries, fileName);
    if (!file) return Status::ok();
    const size_t dot = file->rfind('.');
    const std::string stem = dot == std::string::npos ? *file : file->substr(0, dot);
    if (auto it = tables_.find(lowerCp1250(stem)); it != tables_.end() && it->second->handles() > 0)
        return msg::fileInUse(*file);
    // Another process (or Database) with the table open holds its open lock.
    int fd = -1;
    if (const auto db = findEntry(*entries, stem + ".DB")) {
        fd = ::open(joinPath(folder_, *db).c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0 && !lockFile(fd, LockRange::Open, LockKind::Exclusive, 0)) {
            ::close(fd);
            return msg::fileInUse(*file);
        }
    }
    Status s;
    if (::unlink(joinPath(folder_, *file).c_str()) != 0 && errno != ENOENT) s = msg::ioError(*file, errno);
    if (fd >= 0) ::close(fd);
    return s;
}

}  // namespace engine
