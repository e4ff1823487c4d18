#include "races/resulttext.h"

#include "races/flytime.h"

#include <QStringList>

namespace ResultText {

QString speed(const QVariant &storedVelocity)
{
    const double v = storedVelocity.toDouble();
    return FlyTime::thousandthsOf(v) == 0 ? QString() : FlyTime::velocityText(v);
}

QString clocked(const QString &backTime)
{
    if (backTime.isEmpty())
        return {};
    const int dash = backTime.indexOf(QLatin1Char('-'));
    QString day, month;
    if (dash == 4 || dash < 0) {
        day = backTime.mid(8, 2);
        month = backTime.mid(5, 2);
    } else {
        day = backTime.mid(0, 2);
        month = backTime.mid(3, 2);
    }
    return backTime.mid(11) + QStringLiteral("  ") + day + QLatin1Char('-') + month;
}

QString flyTimeShort(const QString &flyTime)
{
    return flyTime.left(8);
}

QString variation(const QVariant &v)
{
    if (v.isNull() || v.toString().isEmpty())
        return {};
    const int n = v.toInt();
    return n >= 1 ? QStringLiteral("+%1").arg(n) : QString::number(n);
}

QString distance(const QVariant &miles, const QVariant &yards, int mode, QChar separator)
{
    bool ok = false;
    const qlonglong y = yards.toLongLong(&ok);
    const QString yardsText =
        ok && y >= 0 ? QStringLiteral("%1").arg(y, mode == 0 ? 3 : 4, 10, QLatin1Char('0')) : yards.toString();
    return miles.toString() + separator + yardsText;
}

QString sexWord(const QVariant &sex)
{
    if (sex.isNull())
        return {};
    return sex.toString() == QLatin1String("H") ? QStringLiteral("Hen") : QStringLiteral("Cock");
}

QString colourShort(const QVariant &colour)
{
    return colour.toString().left(2);
}

qint64 flySeconds(const QString &flyTime)
{
    const QStringList parts = flyTime.trimmed().split(QLatin1Char(':'));
    if (parts.size() < 3)
        return -1;
    bool okH = false, okM = false, okS = false;
    const qint64 h = parts.at(0).toLongLong(&okH);
    const qint64 m = parts.at(1).toLongLong(&okM);
    const qint64 s = parts.at(2).left(2).toLongLong(&okS);
    if (!okH || !okM || !okS)
        return -1;
    return h * 3600 + m * 60 + s;
}

QString margin(const QString &leaderFlyTime, const QString &flyTime)
{
    const qint64 lead = flySeconds(leaderFlyTime), own = flySeconds(flyTime);
    if (lead < 0 || own < 0)
        return {};
    const qint64 d = own - lead;
    const QString text = FlyTime::flyTimeText((d < 0 ? -d : d) * 1000).left(8);
    return d < 0 ? QLatin1Char('-') + text : text;
}

QString winningMargin(const QString &firstFlyTime, const QString &secondFlyTime, int arrivals)
{
    if (arrivals <= 0)
        return {};
    if (arrivals == 1)
        return QStringLiteral("0:0:0");
    const qint64 first = flySeconds(firstFlyTime), second = flySeconds(secondFlyTime);
    if (first < 0 || second < 0)
        return {};
    const qint64 d = second - first;
    const qint64 a = d < 0 ? -d : d;
    return QStringLiteral("%1%2:%3:%4")
        .arg(d < 0 ? QStringLiteral("-") : QString())
        .arg(a / 3600)
        .arg(a / 60 % 60)
        .arg(a % 60);
}

} // namespace ResultText
