#include "office/savefile.h"

#include <QSaveFile>

bool SaveFile::write(const QString &path, const std::function<bool(QIODevice &, QString *)> &fill,
                     QString *error)
{
    QSaveFile f(path);
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason.isEmpty() ? f.errorString() : reason;
        f.cancelWriting();
        return false;
    };
    if (!f.open(QIODevice::WriteOnly))
        return fail({});
    QString reason;
    if (!fill(f, &reason) || f.error() != QFileDevice::NoError)
        return fail(reason);
    // The last buffered block reaches the disk only here; commit() does not report its failure on
    // every Qt version, so a full disk would leave an empty file in place of the previous one.
    if (!f.flush())
        return fail({});
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

bool SaveFile::write(const QString &path, const QByteArray &bytes, QString *error)
{
    return write(
        path,
        [&](QIODevice &out, QString *) { return out.write(bytes) == bytes.size(); },
        error);
}
