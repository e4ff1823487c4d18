#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class Report;
class TextOut;

// Lays a report out into pages and paints any one page on request, so no device ever holds more
// than the page being painted. All measures are in units of 1/720 inch (a tenth of a point), the
// same on every device; fonts are sized in those units, so a layout does not depend on the screen.
//
// One rule for texts wider than their column: they are cut at the end with "…" (every row then
// takes one line, which makes the page count known before anything is painted).
class ReportLayout
{
public:
    static constexpr double kUnitsPerInch = 720.0;

    // The report's page: A4 portrait with 12 mm margins.
    static QPageLayout pageLayout();
    // The printable area of that page, in units.
    static QSizeF a4Content();
    // The printable area of a device (a printer whose page the user changed), in units.
    static QSizeF contentOf(const QPaintDevice &device);

    ReportLayout(const Report &report, const QSizeF &content);
    ~ReportLayout();

    int pageCount() const { return pageCount_; }
    // The model rows on a page: first row and number of rows.
    int firstRow(int page) const;
    int rowsOn(int page) const;
    const std::vector<double> &columnWidths() const { return widths_; }
    double rowHeight() const { return rowHeight_; }

    // Paints one page; the painter is active on a device of any resolution.
    void paintPage(QPainter &painter, int page) const;

    // Paints every page onto a printer or PDF writer, one at a time. Returns the pages painted;
    // 0 when the device could not be opened for painting.
    static int print(const Report &report, QPagedPaintDevice &device);

    // The fonts of the bands.
    static QFont bodyFont();
    static QFont headerFont();
    static QFont titleFont();
    static QFont subtitleFont();
    static QFont headingNameFont();
    static QFont footerFont();

private:
    struct Fonts;
    void paintTitleBand(QPainter &p, TextOut &out) const;
    void paintHeaderBand(QPainter &p, TextOut &out, double y) const;
    void paintFooterBand(QPainter &p, TextOut &out, int page) const;
    void computeWidths();
    double titleBandHeight() const;
    double footerBandHeight() const;

    const Report &report_;
    QSizeF content_;
    std::unique_ptr<Fonts> fonts_;
    std::vector<double> widths_;
    double rowHeight_ = 0;
    double headerHeight_ = 0;
    double titleHeight_ = 0;
    double footerHeight_ = 0;
    int firstPageRows_ = 1;
    int pageRows_ = 1;
    int pageCount_ = 1;
};

// Draws the program's own logo (a white pigeon on a blue roundel) into a square.
void paintReportLogo(QPainter &p, const QRectF &square);
