#pragma once

#include <QString>
#include <memory>

// One program at a time writes a data folder. The writer holds the lock file ORVS.lock, which
// names its program and process; a second program opens the club for reading only and says who
// writes. Connections of one program (the page and its workers) share the lock.
class FolderLock
{
public:
    static constexpr const char *FileName = "ORVS.lock";

    // The folder's lock for this program, shared with its other connections; nullptr when another
    // program holds it or it cannot be made (then *why names the holder or the reason).
    static std::shared_ptr<FolderLock> acquire(const QString &folder, QString *why);

    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    struct Private;
    explicit FolderLock(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d_;
};
