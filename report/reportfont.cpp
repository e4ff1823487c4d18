#include "report/reportfont.h"

#include <QGlyphRun>
#include <QPainter>

namespace {
constexpr char32_t kCommonLimit = 0x3000;
const QString kEllipsis = QString(QChar(0x2026));
} // namespace

ReportFont::ReportFont(const QFont &font) : font_(font), raw_(QRawFont::fromFont(font)), common_(kCommonLimit)
{
    ascent_ = raw_.ascent();
    height_ = raw_.ascent() + raw_.descent();
}

const ReportFont::Glyph &ReportFont::glyphOf(char32_t cp) const
{
    Glyph *g = cp < kCommonLimit ? &common_[cp] : &rare_[cp];
    if (g->advance < 0) {
        const QString s = QString::fromUcs4(&cp, 1);
        quint32 index[2] = {0, 0};
        int n = 2;
        if (!raw_.glyphIndexesForChars(s.constData(), static_cast<int>(s.size()), index, &n) || n < 1)
            index[0] = 0;
        QPointF advance;
        raw_.advancesForGlyphIndexes(index, &advance, 1);
        g->index = index[0];
        g->advance = static_cast<float>(advance.x());
    }
    return *g;
}

template <typename Fn> void ReportFont::forEachGlyph(const QString &text, Fn fn) const
{
    const auto n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        fn(glyphOf(cp));
    }
}

double ReportFont::width(const QString &text) const
{
    double w = 0;
    forEachGlyph(text, [&](const Glyph &g) { w += g.advance; });
    return w;
}

QString ReportFont::elided(const QString &text, double width) const
{
    if (this->width(text) <= width)
        return text;
    const double room = width - this->width(kEllipsis);
    double w = 0;
    qsizetype keep = 0;
    const auto n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        qsizetype next = i + 1;
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && next < n && text.at(next).isLowSurrogate())
            cp = QChar::surrogateToUcs4(text.at(i), text.at(next++));
        w += glyphOf(cp).advance;
        if (w > room)
            break;
        keep = next;
        i = next - 1;
    }
    return text.left(keep).trimmed() + kEllipsis;
}

double ReportFont::appendGlyphs(const QString &text, QPointF at, QList<quint32> &glyphs,
                                QList<QPointF> &positions) const
{
    double x = at.x();
    forEachGlyph(text, [&](const Glyph &g) {
        glyphs.append(g.index);
        positions.append(QPointF(x, at.y()));
        x += g.advance;
    });
    return x - at.x();
}

void GlyphBatch::flush(QPainter &p)
{
    if (glyphs_.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(font_.raw());
    run.setGlyphIndexes(glyphs_);
    run.setPositions(positions_);
    p.drawGlyphRun(QPointF(0, 0), run);
    glyphs_.clear();
    positions_.clear();
}
