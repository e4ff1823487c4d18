#include "report/reportlayout.h"

#include "report/report.h"
#include "report/reportfont.h"
#include "report/reportrecorder.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPageSize>
#include <algorithm>
#include <cmath>
#include <map>

namespace {
constexpr double kPad = 24;          // space either side of a cell's text
constexpr double kLogo = 560;        // logo square
constexpr double kHeadingGap = 140;  // between the logo and the club heading
constexpr double kBandGap = 120;     // below the title band, above the footer
constexpr double kRule = 6;          // rule thickness
const QColor kShade(0xF0, 0xF2, 0xF5);
const QColor kLogoBlue(0x1F, 0x3A, 0x68);
const QColor kLogoGold(0xC8, 0x9B, 0x3C);

QFont makeFont(int size, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

QString joined(const Report::Field &f)
{
    const QString caption = f.caption->text().trimmed();
    if (f.value.isEmpty())
        return caption;
    if (caption.isEmpty())
        return f.value;
    return caption + QLatin1Char(' ') + f.value;
}

} // namespace

// Puts the texts of a page on the painter: each in its box, cut with "…" when too wide, placed by
// the horizontal alignment and centred vertically. Texts are batched per font and drawn as glyph
// runs at the end; on a recorder they are recorded with their boxes instead.
class TextOut
{
public:
    explicit TextOut(QPainter &p) : p_(p), recorder_(dynamic_cast<ReportRecorder *>(p.device())) {}

    void cell(const ReportFont &f, const QRectF &box, Qt::Alignment a, const QString &text)
    {
        if (text.isEmpty())
            return;
        const QString shown = f.elided(text, box.width());
        const double w = f.width(shown);
        double x = box.left();
        if (a & Qt::AlignRight)
            x = box.right() - w;
        else if (a & Qt::AlignHCenter)
            x = box.left() + (box.width() - w) / 2;
        const double baseline = box.top() + (box.height() - f.height()) / 2 + f.ascent();
        if (recorder_) {
            const QTransform &t = p_.worldTransform();
            const QRectF painted = t.mapRect(QRectF(x, baseline - f.ascent(), w, f.height()));
            recorder_->addText({shown, painted, t.map(QPointF(x, baseline)).y(), f.font().bold(),
                                f.font().pixelSize()});
            return;
        }
        batches_.try_emplace(&f, f).first->second.add(shown, QPointF(x, baseline));
    }

    void flush()
    {
        for (auto &b : batches_)
            b.second.flush(p_);
    }

private:
    QPainter &p_;
    ReportRecorder *recorder_;
    std::map<const ReportFont *, GlyphBatch> batches_;
};


QFont ReportLayout::bodyFont() { return makeFont(80, false); }
QFont ReportLayout::headerFont() { return makeFont(80, true); }
QFont ReportLayout::titleFont() { return makeFont(150, true); }
QFont ReportLayout::subtitleFont() { return makeFont(95, false); }
QFont ReportLayout::headingNameFont() { return makeFont(120, true); }
QFont ReportLayout::footerFont() { return makeFont(75, false); }

struct ReportLayout::Fonts
{
    ReportFont body{bodyFont()};
    ReportFont header{headerFont()};
    ReportFont title{titleFont()};
    ReportFont subtitle{subtitleFont()};
    ReportFont headingName{headingNameFont()};
    ReportFont footer{footerFont()};
};

QPageLayout ReportLayout::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

QSizeF ReportLayout::a4Content()
{
    const QRectF r = pageLayout().paintRect(QPageLayout::Inch);
    return r.size() * kUnitsPerInch;
}

QSizeF ReportLayout::contentOf(const QPaintDevice &device)
{
    return {device.width() * kUnitsPerInch / device.logicalDpiX(),
            device.height() * kUnitsPerInch / device.logicalDpiY()};
}

ReportLayout::ReportLayout(const Report &report, const QSizeF &content)
    : report_(report), content_(content), fonts_(std::make_unique<Fonts>())
{
    rowHeight_ = std::ceil(fonts_->body.height() * 1.3);
    headerHeight_ = std::ceil(fonts_->header.height() * 1.6);
    titleHeight_ = titleBandHeight();
    footerHeight_ = footerBandHeight();
    computeWidths();

    const double pageBody = content_.height() - headerHeight_ - footerHeight_;
    pageRows_ = std::max(1, static_cast<int>(std::floor(pageBody / rowHeight_)));
    firstPageRows_ = std::max(1, static_cast<int>(std::floor((pageBody - titleHeight_) / rowHeight_)));
    const int rows = report_.rowCount();
    pageCount_ = rows <= firstPageRows_ ? 1 : 1 + (rows - firstPageRows_ + pageRows_ - 1) / pageRows_;
}

ReportLayout::~ReportLayout() = default;

int ReportLayout::firstRow(int page) const
{
    return page == 0 ? 0 : firstPageRows_ + (page - 1) * pageRows_;
}

int ReportLayout::rowsOn(int page) const
{
    if (page < 0 || page >= pageCount_)
        return 0;
    const int capacity = page == 0 ? firstPageRows_ : pageRows_;
    return std::clamp(report_.rowCount() - firstRow(page), 0, capacity);
}

void ReportLayout::computeWidths()
{
    const auto &cols = report_.columns();
    const size_t n = cols.size();
    widths_.assign(n, 0);
    if (n == 0)
        return;
    std::vector<double> natural(n, 0);
    for (size_t c = 0; c < n; ++c)
        natural[c] = fonts_->header.width(cols[c].header->text());
    const int rows = report_.rowCount();
    for (int r = 0; r < rows; ++r)
        for (size_t c = 0; c < n; ++c)
            if (cols[c].source >= 0)
                natural[c] = std::max(natural[c], fonts_->body.width(report_.cellText(r, static_cast<int>(c))));
    double sum = 0;
    for (double &w : natural) {
        w = std::ceil(w + 2 * kPad);
        sum += w;
    }
    const double available = content_.width();
    if (sum <= available) {
        // Spare width goes to the columns in proportion to what they hold.
        for (size_t c = 0; c < n; ++c)
            widths_[c] = natural[c] + (available - sum) * natural[c] / sum;
        return;
    }
    // Too wide: every column keeps its width up to a common cap (scaled by its weight), found so
    // that the columns just fill the page; the widest give up what is missing.
    const auto total = [&](double cap) {
        double s = 0;
        for (size_t c = 0; c < n; ++c)
            s += std::min(natural[c], cap * cols[c].weight);
        return s;
    };
    double lo = 0, hi = available;
    for (int i = 0; i < 50; ++i) {
        const double mid = (lo + hi) / 2;
        (total(mid) > available ? hi : lo) = mid;
    }
    for (size_t c = 0; c < n; ++c)
        widths_[c] = std::min(natural[c], lo * cols[c].weight);
}

double ReportLayout::titleBandHeight() const
{
    const ClubHeading &h = report_.heading();
    double heading = 0;
    if (!h.isEmpty()) {
        heading = fonts_->headingName.height();
        for (const QString &s : {h.street, h.city, h.postCode})
            if (!s.isEmpty())
                heading += fonts_->subtitle.height();
    }
    double titles = 0;
    for (size_t i = 0; i < report_.titles().size(); ++i)
        titles += (i == 0 ? fonts_->title : fonts_->subtitle).height() * 1.15;
    // Without a club heading the title lines stand beside the logo; with one, below both.
    const double top = h.isEmpty() ? std::max(kLogo, titles) : std::max(kLogo, heading) + kBandGap / 2 + titles;
    return std::ceil(top + kBandGap);
}

double ReportLayout::footerBandHeight() const
{
    const double line = fonts_->footer.height() * 1.3;
    return std::ceil(kBandGap + (report_.footers().empty() ? 0 : line) + line);
}

void ReportLayout::paintTitleBand(QPainter &p, TextOut &out) const
{
    paintReportLogo(p, QRectF(0, 0, kLogo, kLogo));
    const ClubHeading &h = report_.heading();
    const double x = kLogo + kHeadingGap;
    const double right = content_.width() - x;
    double y = 0;
    if (!h.isEmpty()) {
        out.cell(fonts_->headingName, QRectF(x, y, right, fonts_->headingName.height()), Qt::AlignLeft, h.name);
        y += fonts_->headingName.height();
        for (const QString &s : {h.street, h.city, h.postCode}) {
            if (s.isEmpty())
                continue;
            out.cell(fonts_->subtitle, QRectF(x, y, right, fonts_->subtitle.height()), Qt::AlignLeft, s);
            y += fonts_->subtitle.height();
        }
        y = std::max(kLogo, y) + kBandGap / 2;
    }
    const double left = h.isEmpty() ? x : 0;
    const auto &titles = report_.titles();
    for (size_t i = 0; i < titles.size(); ++i) {
        const ReportFont &f = i == 0 ? fonts_->title : fonts_->subtitle;
        out.cell(f, QRectF(left, y, content_.width() - left, f.height()), Qt::AlignLeft, joined(titles[i]));
        y += f.height() * 1.15;
    }
}

void ReportLayout::paintHeaderBand(QPainter &p, TextOut &out, double y) const
{
    const auto &cols = report_.columns();
    p.setPen(QPen(Qt::black, kRule));
    p.drawLine(QPointF(0, y), QPointF(content_.width(), y));
    double x = 0;
    for (size_t c = 0; c < cols.size(); ++c) {
        const QRectF box(x + kPad, y, widths_[c] - 2 * kPad, headerHeight_);
        out.cell(fonts_->header, box, cols[c].alignment, cols[c].header->text());
        x += widths_[c];
    }
    p.drawLine(QPointF(0, y + headerHeight_), QPointF(content_.width(), y + headerHeight_));
}

void ReportLayout::paintFooterBand(QPainter &p, TextOut &out, int page) const
{
    const ReportFont &f = fonts_->footer;
    const double line = f.height() * 1.3;
    double y = content_.height() - footerHeight_ + kBandGap;
    p.setPen(QPen(Qt::black, kRule / 2));
    p.drawLine(QPointF(0, y - kBandGap / 3), QPointF(content_.width(), y - kBandGap / 3));
    const auto &footers = report_.footers();
    if (!footers.empty()) {
        // The fields share the line in equal parts.
        const double part = content_.width() / static_cast<double>(footers.size());
        for (size_t i = 0; i < footers.size(); ++i)
            out.cell(f, QRectF(part * static_cast<double>(i), y, part - kPad, line), Qt::AlignLeft,
                     joined(footers[i]));
        y += line;
    }
    const double half = content_.width() / 2;
    out.cell(f, QRectF(0, y, half - kPad, line), Qt::AlignLeft,
             report_.printedLabel()->text().arg(report_.printTimeText()));
    out.cell(f, QRectF(half, y, half, line), Qt::AlignRight,
             report_.pageLabel()->text().arg(page + 1).arg(pageCount_));
}

void ReportLayout::paintPage(QPainter &p, int page) const
{
    if (page < 0 || page >= pageCount_)
        return;
    p.save();
    const QPaintDevice *dev = p.device();
    p.scale(dev->logicalDpiX() / kUnitsPerInch, dev->logicalDpiY() / kUnitsPerInch);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    TextOut out(p);

    double y = 0;
    if (page == 0) {
        paintTitleBand(p, out);
        y = titleHeight_;
    }
    paintHeaderBand(p, out, y);
    y += headerHeight_;

    const auto &cols = report_.columns();
    const int first = firstRow(page), count = rowsOn(page);
    for (int i = 0; i < count; ++i) {
        const int row = first + i;
        if (row % 2 == 1)
            p.fillRect(QRectF(0, y, content_.width(), rowHeight_), kShade);
        double x = 0;
        for (size_t c = 0; c < cols.size(); ++c) {
            const QRectF box(x + kPad, y, widths_[c] - 2 * kPad, rowHeight_);
            out.cell(fonts_->body, box, cols[c].alignment, report_.cellText(row, static_cast<int>(c)));
            x += widths_[c];
        }
        y += rowHeight_;
    }
    paintFooterBand(p, out, page);
    p.setPen(Qt::black);
    out.flush();
    p.restore();
}

int ReportLayout::print(const Report &report, QPagedPaintDevice &device)
{
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const ReportLayout layout(report, contentOf(device));
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            p.end();
            return 0;
        }
        layout.paintPage(p, page);
    }
    p.end();
    return layout.pageCount();
}

void paintReportLogo(QPainter &p, const QRectF &square)
{
    p.save();
    p.translate(square.topLeft());
    p.scale(square.width(), square.height());
    p.setRenderHint(QPainter::Antialiasing);
    // Roundel with a gold ring.
    p.setPen(QPen(kLogoGold, 0.05));
    p.setBrush(kLogoBlue);
    p.drawEllipse(QRectF(0.03, 0.03, 0.94, 0.94));
    // A pigeon in flight, facing right: body, head, beak, raised wing, fanned tail.
    QPainterPath bird;
    bird.setFillRule(Qt::WindingFill);
    bird.addEllipse(QPointF(0.50, 0.58), 0.22, 0.11);
    bird.addEllipse(QPointF(0.72, 0.47), 0.075, 0.075);
    QPainterPath beak;
    beak.moveTo(0.79, 0.44);
    beak.lineTo(0.87, 0.475);
    beak.lineTo(0.79, 0.50);
    beak.closeSubpath();
    QPainterPath wing;
    wing.moveTo(0.38, 0.56);
    wing.cubicTo(0.30, 0.36, 0.26, 0.24, 0.18, 0.16);
    wing.cubicTo(0.40, 0.22, 0.55, 0.36, 0.60, 0.55);
    wing.closeSubpath();
    QPainterPath tail;
    tail.moveTo(0.32, 0.56);
    tail.lineTo(0.12, 0.66);
    tail.lineTo(0.16, 0.74);
    tail.lineTo(0.34, 0.64);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(bird.united(beak).united(wing).united(tail));
    // The eye.
    p.setBrush(kLogoBlue);
    p.drawEllipse(QPointF(0.74, 0.46), 0.014, 0.014);
    p.restore();
}
