#include "report/reportrecorder.h"

#include "report/reportlayout.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>

class RecordingPaintEngine : public QPaintEngine
{
public:
    explicit RecordingPaintEngine(ReportRecorder &r) : QPaintEngine(QPaintEngine::AllFeatures), rec_(r) {}

    bool begin(QPaintDevice *) override
    {
        rec_.pages_.emplace_back();
        transform_ = QTransform();
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &s) override
    {
        if (s.state() & QPaintEngine::DirtyTransform)
            transform_ = s.transform();
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QPointF at = transform_.map(p);
        const double scale = std::sqrt(std::abs(transform_.determinant()));
        const QRectF box(at.x(), at.y() - item.ascent() * scale, item.width() * scale,
                         (item.ascent() + item.descent()) * scale);
        auto &texts = page().texts;
        // Qt may hand one drawn text over in several runs: join runs that continue each other.
        if (!texts.empty()) {
            auto &last = texts.back();
            if (std::abs(last.baseline - at.y()) < 0.5 && std::abs(last.box.right() - at.x()) < 1.0) {
                last.text += item.text();
                last.box = last.box.united(box);
                return;
            }
        }
        texts.push_back({item.text(), box, at.y(), item.font().bold(),
                         static_cast<int>(std::lround(item.font().pixelSize() * scale))});
    }

    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            page().lines.push_back(transform_.map(lines[i]));
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            page().shapes.push_back(transform_.mapRect(rects[i]));
    }
    void drawPath(const QPainterPath &path) override { page().shapes.push_back(transform_.map(path).boundingRect()); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
    {
        QPolygonF poly;
        for (int i = 0; i < count; ++i)
            poly << points[i];
        page().shapes.push_back(transform_.map(poly).boundingRect());
    }
    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
    {
        page().shapes.push_back(transform_.mapRect(r));
    }

private:
    ReportRecorder::Page &page() { return rec_.pages_.back(); }

    ReportRecorder &rec_;
    QTransform transform_;
};

ReportRecorder::ReportRecorder(const QSizeF &content)
    : content_(content.isEmpty() ? ReportLayout::a4Content() : content),
      engine_(std::make_unique<RecordingPaintEngine>(*this))
{
}

ReportRecorder::~ReportRecorder() = default;

QPaintEngine *ReportRecorder::paintEngine() const
{
    return engine_.get();
}

int ReportRecorder::metric(PaintDeviceMetric m) const
{
    constexpr double dpi = ReportLayout::kUnitsPerInch;
    switch (m) {
    case PdmWidth: return static_cast<int>(std::lround(content_.width()));
    case PdmHeight: return static_cast<int>(std::lround(content_.height()));
    case PdmWidthMM: return static_cast<int>(std::lround(content_.width() / dpi * 25.4));
    case PdmHeightMM: return static_cast<int>(std::lround(content_.height() / dpi * 25.4));
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return static_cast<int>(dpi);
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(m);
    }
}

int ReportRecorder::record(const Report &report)
{
    pages_.clear();
    const ReportLayout layout(report, content_);
    for (int page = 0; page < layout.pageCount(); ++page) {
        QPainter p(this);
        layout.paintPage(p, page);
    }
    return layout.pageCount();
}

void ReportRecorder::addText(const Text &t)
{
    if (!pages_.empty())
        pages_.back().texts.push_back(t);
}

QStringList ReportRecorder::texts(int page) const
{
    QStringList out;
    for (const auto &t : pages_.at(static_cast<size_t>(page)).texts)
        out << t.text;
    return out;
}

std::vector<QStringList> ReportRecorder::lines(int page) const
{
    std::vector<const Text *> sorted;
    for (const auto &t : pages_.at(static_cast<size_t>(page)).texts)
        sorted.push_back(&t);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Text *a, const Text *b) {
        if (std::abs(a->baseline - b->baseline) >= 1.0)
            return a->baseline < b->baseline;
        return a->box.left() < b->box.left();
    });
    std::vector<QStringList> out;
    double current = -1e9;
    for (const Text *t : sorted) {
        if (out.empty() || std::abs(t->baseline - current) >= 1.0) {
            out.emplace_back();
            current = t->baseline;
        }
        out.back() << t->text;
    }
    return out;
}

const ReportRecorder::Text *ReportRecorder::find(int page, const QString &text) const
{
    for (const auto &t : pages_.at(static_cast<size_t>(page)).texts)
        if (t.text == text)
            return &t;
    return nullptr;
}
