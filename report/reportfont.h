#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <vector>

class QPainter;

// A report font measured and drawn glyph by glyph from its raw font: a character's glyph and
// advance are looked up once and kept, so measuring and painting tens of thousands of cells costs
// no text shaping. Reports print plain text (names, numbers, dates): no kerning or ligatures.
class ReportFont
{
public:
    explicit ReportFont(const QFont &font);

    const QFont &font() const { return font_; }
    double ascent() const { return ascent_; }
    double height() const { return height_; }

    double width(const QString &text) const;
    // The text cut at the end with "…" so that it fits `width`; unchanged when it fits.
    QString elided(const QString &text, double width) const;

    // Appends the text's glyphs, placed from the baseline point `at`, to a run; returns its width.
    double appendGlyphs(const QString &text, QPointF at, QList<quint32> &glyphs, QList<QPointF> &positions) const;
    const QRawFont &raw() const { return raw_; }

private:
    struct Glyph
    {
        quint32 index = 0;
        float advance = -1; // < 0: not looked up yet
    };
    const Glyph &glyphOf(char32_t codePoint) const;
    template <typename Fn> void forEachGlyph(const QString &text, Fn fn) const;

    QFont font_;
    QRawFont raw_;
    double ascent_ = 0;
    double height_ = 0;
    mutable std::vector<Glyph> common_; // code points below 0x3000
    mutable QHash<char32_t, Glyph> rare_;
};

// Collects the glyphs of one font and draws them as one glyph run.
class GlyphBatch
{
public:
    explicit GlyphBatch(const ReportFont &font) : font_(font) {}
    void add(const QString &text, QPointF baselineStart) { font_.appendGlyphs(text, baselineStart, glyphs_, positions_); }
    void flush(QPainter &p);

private:
    const ReportFont &font_;
    QList<quint32> glyphs_;
    QList<QPointF> positions_;
};
