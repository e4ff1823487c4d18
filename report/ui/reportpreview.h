#pragma once

#include <QPrintPreviewDialog>
#include <functional>
#include <memory>

class QPrinter;
class Report;

// The print preview of a report: pages, zoom and Print from Qt's preview, plus "Save as PDF…".
// The printer starts on A4 portrait with the club's number of copies.
class ReportPreviewDialog : public QPrintPreviewDialog
{
    Q_OBJECT
public:
    ReportPreviewDialog(const Report &report, int copies, QWidget *parent = nullptr);
    ~ReportPreviewDialog() override;

    QPrinter &printer() { return *printer_; }
    QAction *saveAction() const { return save_; }

public slots:
    // Asks for a file name and writes the report there as PDF.
    void saveAsPdf();

private:
    ReportPreviewDialog(const Report &report, int copies, std::unique_ptr<QPrinter> printer, QWidget *parent);

    const Report &report_;
    std::unique_ptr<QPrinter> printer_;
    QAction *save_ = nullptr;
};

namespace ReportPreview {
// Shows the report's preview and returns when it is closed.
void show(QWidget *parent, const Report &report, int copies);
// Test hook: while set, show() hands the report to the hook instead of opening the preview.
void setHook(std::function<void(const Report &report, int copies)> hook);
} // namespace ReportPreview
