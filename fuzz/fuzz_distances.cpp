// The distance-file reader: lines of any length and content, read in bounded memory.

#include "races/distances.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    Distances::LineReader reader(in);
    QByteArray line;
    int lines = 0;
    while (reader.next(&line)) {
        if (line.size() > Distances::LineReader::MaxLineBytes || line.contains('\n'))
            std::abort();
        const Distances::DistanceLine d = Distances::parseLine(line);
        if (d.milesOk && !d.miles.isNull() && d.milesText.trimmed().isEmpty())
            std::abort();
        if (++lines > int(size) + 1)
            std::abort(); // the reader must make progress
    }
    return 0;
}
