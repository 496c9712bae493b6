// An anonymous pipe as two C runtime descriptors, on POSIX systems and Windows alike.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <unistd.h>

namespace testsupport {

// 0 on success, as pipe(2).
inline int MakePipe(int fds[2]) {
#ifdef _WIN32
    return ::_pipe(fds, 1 << 16, _O_BINARY);
#else
    return ::pipe(fds);
#endif
}

} // namespace testsupport
