#include "clockops/clockexports.h"

#include "clockops/clockviews.h"
#include "store/operationsink.h"
#include "store/recordtable.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <algorithm>
#include <numeric>

namespace ClockExports {

WorkbookWriter markedWorkbook(TdmORVS &dm, const QString &raceCode)
{
    static const QStringList fields{QStringLiteral("LoftNo"),    QStringLiteral("PRingNo"),
                                    QStringLiteral("Sex"),       QStringLiteral("ColorType"),
                                    QStringLiteral("LiberCode"), QStringLiteral("LiberDate"),
                                    QStringLiteral("MarkedTime"), QStringLiteral("Nom")};
    WorkbookWriter w(fields);
    for (int c = 0; c <= 6; ++c)
        w.setTextColumn(c);
    const std::pair<int, double> widths[] = {{0, 12}, {1, 22}, {5, 12}, {6, 25}};
    for (const auto &[c, width] : widths)
        w.setWidth(c, width);

    MarkedList list(dm);
    list.load(raceCode, false);
    // The sheet lists the birds by loft, then marking time.
    std::vector<int> order(size_t(list.rowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QString la = list.value(a, QStringLiteral("LoftNo")).toString();
        const QString lb = list.value(b, QStringLiteral("LoftNo")).toString();
        if (la != lb)
            return la < lb;
        return list.value(a, QStringLiteral("MarkedTime")).toString() < list.value(b, QStringLiteral("MarkedTime")).toString();
    });
    for (int row : order) {
        QVariantList values;
        for (const QString &f : fields)
            values << list.value(row, f);
        // Only the first five birds marked per loft keep their place.
        if (!values.last().isNull() && values.last().toInt() > 5)
            values.last() = 0;
        w.addRow(std::move(values));
    }
    return w;
}

WorkbookWriter multiWorkbook(const RecordTable &list)
{
    static const QStringList fields{QStringLiteral("Rank"),    QStringLiteral("LibCode"), QStringLiteral("PRingNo"),
                                    QStringLiteral("BackTime"), QStringLiteral("FlyTime"), QStringLiteral("FlySpeed"),
                                    QStringLiteral("Dist")};
    WorkbookWriter w(fields);
    for (int c = 1; c <= 5; ++c)
        w.setTextColumn(c);
    const std::pair<int, double> widths[] = {{1, 12}, {2, 22}, {3, 25}, {4, 15}};
    for (const auto &[c, width] : widths)
        w.setWidth(c, width);
    for (int row = 0; row < list.rowCount(); ++row) {
        QVariantList values;
        for (const QString &f : fields)
            values << list.value(row, f);
        w.addRow(std::move(values));
    }
    return w;
}

namespace {
bool save(const WorkbookWriter &w, const QString &path, OperationSink &sink)
{
    QString error;
    if (!w.save(path, &error)) {
        sink.failure(error);
        return false;
    }
    sink.success(path);
    return true;
}
} // namespace

bool saveMarked(TdmORVS &dm, const QString &raceCode, const QString &path, OperationSink &sink)
{
    return save(markedWorkbook(dm, raceCode), path, sink);
}

bool saveMulti(const RecordTable &list, const QString &path, OperationSink &sink)
{
    return save(multiWorkbook(list), path, sink);
}

} // namespace ClockExports
