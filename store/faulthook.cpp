#include "store/faulthook.h"

#include <QByteArray>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace FaultHook {

namespace {
enum class Mode { None, Kill, Full };
Mode mode = Mode::None;
long long target = 0;
std::atomic<long long> counted{0};
std::atomic<bool> diskFull{false};

[[noreturn]] void die()
{
#ifdef Q_OS_WIN
    // An exit code that Windows (and QProcess) take for a crash, as a cut-off process is.
    TerminateProcess(GetCurrentProcess(), 0xC000013A);
#else
    std::raise(SIGKILL);
#endif
    std::_Exit(9);
}

// True when this step must fail as on a full disk.
bool count(Step kind)
{
    if (diskFull && kind == Step::Write)
        return true;
    if (mode == Mode::None)
        return false;
    const long long n = ++counted;
    if (mode == Mode::Kill && n >= target)
        die();
    return mode == Mode::Full && n >= target && kind == Step::Write;
}

// A file layer over the platform's: each call that changes a file is a step.
sqlite3_vfs *real = nullptr;
sqlite3_vfs shim;

struct File
{
    sqlite3_file base;
    sqlite3_file *inner() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

File *fileOf(sqlite3_file *f)
{
    return reinterpret_cast<File *>(f);
}

int xClose(sqlite3_file *f)
{
    return fileOf(f)->inner()->pMethods->xClose(fileOf(f)->inner());
}
int xRead(sqlite3_file *f, void *buf, int n, sqlite3_int64 off)
{
    return fileOf(f)->inner()->pMethods->xRead(fileOf(f)->inner(), buf, n, off);
}
int xWrite(sqlite3_file *f, const void *buf, int n, sqlite3_int64 off)
{
    if (count(Step::Write))
        return SQLITE_FULL;
    return fileOf(f)->inner()->pMethods->xWrite(fileOf(f)->inner(), buf, n, off);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    count(Step::Other);
    return fileOf(f)->inner()->pMethods->xTruncate(fileOf(f)->inner(), size);
}
int xSync(sqlite3_file *f, int flags)
{
    count(Step::Other);
    return fileOf(f)->inner()->pMethods->xSync(fileOf(f)->inner(), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return fileOf(f)->inner()->pMethods->xFileSize(fileOf(f)->inner(), size);
}
int xLock(sqlite3_file *f, int l)
{
    return fileOf(f)->inner()->pMethods->xLock(fileOf(f)->inner(), l);
}
int xUnlock(sqlite3_file *f, int l)
{
    return fileOf(f)->inner()->pMethods->xUnlock(fileOf(f)->inner(), l);
}
int xCheckReservedLock(sqlite3_file *f, int *out)
{
    return fileOf(f)->inner()->pMethods->xCheckReservedLock(fileOf(f)->inner(), out);
}
int xFileControl(sqlite3_file *f, int op, void *arg)
{
    return fileOf(f)->inner()->pMethods->xFileControl(fileOf(f)->inner(), op, arg);
}
int xSectorSize(sqlite3_file *f)
{
    return fileOf(f)->inner()->pMethods->xSectorSize(fileOf(f)->inner());
}
int xDeviceCharacteristics(sqlite3_file *f)
{
    return fileOf(f)->inner()->pMethods->xDeviceCharacteristics(fileOf(f)->inner());
}
int xShmMap(sqlite3_file *f, int page, int size, int extend, void volatile **p)
{
    return fileOf(f)->inner()->pMethods->xShmMap(fileOf(f)->inner(), page, size, extend, p);
}
int xShmLock(sqlite3_file *f, int offset, int n, int flags)
{
    return fileOf(f)->inner()->pMethods->xShmLock(fileOf(f)->inner(), offset, n, flags);
}
void xShmBarrier(sqlite3_file *f)
{
    fileOf(f)->inner()->pMethods->xShmBarrier(fileOf(f)->inner());
}
int xShmUnmap(sqlite3_file *f, int deleteFlag)
{
    return fileOf(f)->inner()->pMethods->xShmUnmap(fileOf(f)->inner(), deleteFlag);
}

// Memory-mapped reads would bypass xRead only; writes always pass xWrite. Mapping is left off so
// that every page the program reads comes through one road.
int xFetch(sqlite3_file *, sqlite3_int64, int, void **p)
{
    *p = nullptr;
    return SQLITE_OK;
}
int xUnfetch(sqlite3_file *, sqlite3_int64, void *)
{
    return SQLITE_OK;
}

const sqlite3_io_methods methods = {3,         xClose,      xRead,       xWrite,       xTruncate,
                                    xSync,     xFileSize,   xLock,       xUnlock,      xCheckReservedLock,
                                    xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock,
                                    xShmBarrier, xShmUnmap, xFetch,   xUnfetch};

int xOpen(sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags)
{
    File *file = fileOf(f);
    const int rc = real->xOpen(real, name, file->inner(), flags, outFlags);
    // SQLite calls xClose only when pMethods is set: after a failed open it must stay null.
    file->base.pMethods = rc == SQLITE_OK && file->inner()->pMethods ? &methods : nullptr;
    return rc;
}
int xDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    count(Step::Other);
    return real->xDelete(real, name, syncDir);
}
int xAccess(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return real->xAccess(real, name, flags, out);
}
int xFullPathname(sqlite3_vfs *, const char *name, int n, char *out)
{
    return real->xFullPathname(real, name, n, out);
}
void *xDlOpen(sqlite3_vfs *, const char *name)
{
    return real->xDlOpen(real, name);
}
void xDlError(sqlite3_vfs *, int n, char *msg)
{
    real->xDlError(real, n, msg);
}
void (*xDlSym(sqlite3_vfs *, void *h, const char *sym))(void)
{
    return real->xDlSym(real, h, sym);
}
void xDlClose(sqlite3_vfs *, void *h)
{
    real->xDlClose(real, h);
}
int xRandomness(sqlite3_vfs *, int n, char *out)
{
    return real->xRandomness(real, n, out);
}
int xSleep(sqlite3_vfs *, int us)
{
    return real->xSleep(real, us);
}
int xCurrentTime(sqlite3_vfs *, double *t)
{
    return real->xCurrentTime(real, t);
}
int xGetLastError(sqlite3_vfs *, int n, char *out)
{
    return real->xGetLastError ? real->xGetLastError(real, n, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *t)
{
    return real->xCurrentTimeInt64(real, t);
}

void installLayer()
{
    if (real)
        return;
    real = sqlite3_vfs_find(nullptr);
    if (!real)
        return;
    std::memset(&shim, 0, sizeof shim);
    shim.iVersion = 2;
    shim.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    shim.mxPathname = real->mxPathname;
    shim.zName = "pennavox-fault";
    shim.xOpen = xOpen;
    shim.xDelete = xDelete;
    shim.xAccess = xAccess;
    shim.xFullPathname = xFullPathname;
    shim.xDlOpen = xDlOpen;
    shim.xDlError = xDlError;
    shim.xDlSym = xDlSym;
    shim.xDlClose = xDlClose;
    shim.xRandomness = xRandomness;
    shim.xSleep = xSleep;
    shim.xCurrentTime = xCurrentTime;
    shim.xGetLastError = xGetLastError;
    shim.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&shim, 1);
}
} // namespace

void installFromEnvironment()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QByteArray spec = qgetenv("PENNAVOX_FAULT");
    const int colon = spec.indexOf(':');
    if (colon < 0)
        return;
    const QByteArray what = spec.left(colon);
    bool ok = false;
    const long long n = spec.mid(colon + 1).toLongLong(&ok);
    if (!ok || n < 1)
        return;
    if (what == "kill")
        mode = Mode::Kill;
    else if (what == "full")
        mode = Mode::Full;
    else
        return;
    target = n;
    installLayer();
}

void setDiskFull(bool on)
{
    installLayer();
    diskFull = on;
}

bool step(Step kind)
{
    return count(kind);
}

} // namespace FaultHook
