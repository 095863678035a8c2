#include "FileLock.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace engine {

namespace {

constexpr off_t kLockBase = off_t(1) << 40;

bool request(int fd, LockRange range, short type)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockBase + off_t(range);
    fl.l_len = 1;
    fl.l_pid = 0;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace

bool lockFile(int fd, LockRange range, LockKind kind, int waitMs)
{
    const short type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    if (request(fd, range, type)) return true;
    // Holders of these locks keep them for short moments only; poll rather
    // than block, so that the wait is bounded.
    int waited = 0;
    while (waited < waitMs) {
        const int step = waited < 20 ? 1 : 10;
        struct timespec ts {0, long(step) * 1000000L};
        nanosleep(&ts, nullptr);
        waited += step;
        if (request(fd, range, type)) return true;
    }
    return false;
}

void unlockFile(int fd, LockRange range) { request(fd, range, F_UNLCK); }

}  // namespace engine
