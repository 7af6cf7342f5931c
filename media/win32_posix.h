// Included into every source of the Windows build: the few POSIX names the
// file modules use that the Windows C runtime spells differently or lacks.
#pragma once

#include <fcntl.h>

// A handle not handed down to child processes. Every file the programs open
// is opened with it, and every one of them holds bytes, not text: on Windows
// it also asks for binary mode, without which the C runtime would turn
// "\r\n" into "\n" and stop reading at the first byte 0x1A.
#ifndef O_CLOEXEC
#define O_CLOEXEC (O_NOINHERIT | O_BINARY)
#endif

// Read-ahead advice; Windows reads ahead on its own.
#ifndef POSIX_FADV_SEQUENTIAL
#define POSIX_FADV_SEQUENTIAL 2
inline int posix_fadvise(int, long long, long long, int) { return 0; }
#endif

// File names reach the C runtime as UTF-16 (a path's c_str() on Windows), so
// that names with umlauts open whatever the system's code page.
#ifdef __cplusplus
#include <io.h>
inline int open(const wchar_t* path, int flags, int mode) { return _wopen(path, flags, mode); }
#endif
