// Preloaded into a child process to make its real writes fail or to kill it
// at an exact step. Every write, sync, truncation and rename the process
// makes is counted (one line per call in $TILSEN_SHIM_LOG); the process
// SIGKILLs itself before call $TILSEN_SHIM_KILL_AT, and call number N of the
// kind K fails with errno E when $TILSEN_SHIM_FAIL is "K:N:E". A sync of a
// folder is logged as "fsyncdir". Every read of the file whose path ends in
// $TILSEN_SHIM_READ_FAIL fails with EIO.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

int g_calls = 0;
int g_callsOfKind[8] = {};

enum Kind { Write, Pwrite, Fsync, Fdatasync, Ftruncate, Rename, FsyncDir, KindCount };
const char *const KindNames[KindCount] = {"write",     "pwrite", "fsync",   "fdatasync",
                                          "ftruncate", "rename", "fsyncdir"};

template <typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void logCall(Kind kind)
{
    const char *path = getenv("TILSEN_SHIM_LOG");
    if (!path)
        return;
    using OpenFn = int (*)(const char *, int, ...);
    using WriteFn = ssize_t (*)(int, const void *, size_t);
    static OpenFn realOpen = real<OpenFn>("open");
    static WriteFn realWrite = real<WriteFn>("write");
    const int fd = realOpen(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    char line[32];
    const int n = snprintf(line, sizeof line, "%s\n", KindNames[kind]);
    realWrite(fd, line, size_t(n));
    close(fd);
}

// True when the call must fail (errno set); never returns when it must die.
bool intercept(Kind kind)
{
    ++g_calls;
    const int nthOfKind = ++g_callsOfKind[kind];
    logCall(kind);
    if (const char *killAt = getenv("TILSEN_SHIM_KILL_AT")) {
        if (atoi(killAt) == g_calls)
            raise(SIGKILL);
    }
    const char *fail = getenv("TILSEN_SHIM_FAIL");
    if (!fail)
        return false;
    char name[16] = {};
    int n = 0, err = 0;
    if (sscanf(fail, "%15[a-z]:%d:%d", name, &n, &err) != 3)
        return false;
    if (strcmp(name, KindNames[kind]) != 0 || n != nthOfKind)
        return false;
    errno = err;
    return true;
}

// True when fd is the file named by $TILSEN_SHIM_READ_FAIL (errno set to EIO).
bool readFails(int fd)
{
    const char *name = getenv("TILSEN_SHIM_READ_FAIL");
    char link[64], path[4096] = {};
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const size_t want = name ? strlen(name) : 0;
    const ssize_t n = want ? readlink(link, path, sizeof path - 1) : -1;
    if (n < ssize_t(want) || strcmp(path + n - want, name) != 0)
        return false;
    errno = EIO;
    return true;
}

} // namespace

extern "C" {

ssize_t read(int fd, void *buf, size_t count)
{
    static auto fn = real<ssize_t (*)(int, void *, size_t)>("read");
    return readFails(fd) ? -1 : fn(fd, buf, count);
}

ssize_t pread(int fd, void *buf, size_t count, off_t offset)
{
    static auto fn = real<ssize_t (*)(int, void *, size_t, off_t)>("pread");
    return readFails(fd) ? -1 : fn(fd, buf, count, offset);
}

ssize_t pread64(int fd, void *buf, size_t count, off_t offset)
{
    static auto fn = real<ssize_t (*)(int, void *, size_t, off_t)>("pread64");
    return readFails(fd) ? -1 : fn(fd, buf, count, offset);
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static auto fn = real<ssize_t (*)(int, const void *, size_t)>("write");
    return intercept(Write) ? -1 : fn(fd, buf, count);
}

ssize_t pwrite(int fd, const void *buf, size_t count, off_t offset)
{
    static auto fn = real<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    return intercept(Pwrite) ? -1 : fn(fd, buf, count, offset);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off_t offset)
{
    static auto fn = real<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite64");
    return intercept(Pwrite) ? -1 : fn(fd, buf, count, offset);
}

int fsync(int fd)
{
    static auto fn = real<int (*)(int)>("fsync");
    struct stat st {};
    return intercept(fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? FsyncDir : Fsync) ? -1 : fn(fd);
}

int fdatasync(int fd)
{
    static auto fn = real<int (*)(int)>("fdatasync");
    return intercept(Fdatasync) ? -1 : fn(fd);
}

int ftruncate(int fd, off_t length)
{
    static auto fn = real<int (*)(int, off_t)>("ftruncate");
    return intercept(Ftruncate) ? -1 : fn(fd, length);
}

int ftruncate64(int fd, off_t length)
{
    static auto fn = real<int (*)(int, off_t)>("ftruncate64");
    return intercept(Ftruncate) ? -1 : fn(fd, length);
}

int rename(const char *from, const char *to)
{
    static auto fn = real<int (*)(const char *, const char *)>("rename");
    return intercept(Rename) ? -1 : fn(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static auto fn = real<int (*)(int, const char *, int, const char *)>("renameat");
    return intercept(Rename) ? -1 : fn(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    static auto fn = real<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    return intercept(Rename) ? -1 : fn(fromDir, from, toDir, to, flags);
}

} // extern "C"
