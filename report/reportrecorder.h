#pragma once

#include <QLineF>
#include <QPaintDevice>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Report;
class RecordingPaintEngine;

// A paint device that keeps what is painted on it instead of pixels: every text with its box and
// font, every line and every filled shape, page by page. Reports are checked by their texts and
// layout on it, on the same painting path as the printer and the PDF writer.
class ReportRecorder : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QRectF box; // units of 1/720 inch from the top left of the printable area
        double baseline = 0;
        bool bold = false;
        int size = 0; // font size in the same units
    };
    struct Page
    {
        std::vector<Text> texts;
        std::vector<QLineF> lines;
        std::vector<QRectF> shapes; // filled paths and rectangles (logo, row shading)
    };

    // The printable area of A4 portrait unless told otherwise.
    explicit ReportRecorder(const QSizeF &content = {});
    ~ReportRecorder() override;

    // Lays the report out and paints every page onto the recorder; returns the page count.
    int record(const Report &report);

    const std::vector<Page> &pages() const { return pages_; }
    QSizeF content() const { return content_; }

    // Texts of a page in painting order.
    QStringList texts(int page) const;
    // Texts of a page grouped by line (same baseline), top to bottom, each left to right.
    std::vector<QStringList> lines(int page) const;
    // The first text on a page equal to `text`, or nullptr.
    const Text *find(int page, const QString &text) const;

    // The report layout hands its texts over here instead of painting glyphs.
    void addText(const Text &t);

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    friend class RecordingPaintEngine;
    QSizeF content_;
    std::unique_ptr<RecordingPaintEngine> engine_;
    std::vector<Page> pages_;
};
