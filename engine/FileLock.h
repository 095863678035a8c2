// FileLock: the locks by which processes (and separate Database objects)
// share a table: open-file-description locks on single bytes far past the end
// of the table's .DB file.
//
// Open-file-description locks belong to one open of the file, not to the
// process, so closing another descriptor of the same file does not drop them,
// and two opens in one process exclude each other like two processes do.
//
//   Open   shared by every open table, exclusive for Exclusive mode and for
//          deleting a file of the table
//   Read   shared while a table's files are read whole, exclusive while a
//          checkpoint writes into them
//
// (The writer lock, taken for every change, lives in the journal's shared
// header, where it costs no system call; see WriteAheadLog.)
#pragma once

namespace engine {

enum class LockRange { Open = 0, Read = 2 };

enum class LockKind { Shared, Exclusive };

// Tries to take a lock, waiting up to `waitMs` milliseconds (0: no wait).
// Returns false when another holder kept it.
bool lockFile(int fd, LockRange range, LockKind kind, int waitMs);
void unlockFile(int fd, LockRange range);

// How long a writer waits for another writer before it reports "in use".
inline constexpr int kWriterWaitMs = 2000;
// How long an open waits for a short exclusive holder (a closing process).
inline constexpr int kOpenWaitMs = 500;

}  // namespace engine
