#include "report/ui/reportpreview.h"

#include "app/ui/dialogs.h"
#include "report/report.h"
#include "report/reportlayout.h"
#include "report/reportpdf.h"

#include <QAction>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {
std::function<void(const Report &, int)> &hook()
{
    static std::function<void(const Report &, int)> h;
    return h;
}

std::unique_ptr<QPrinter> reportPrinter(int copies)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(ReportLayout::pageLayout());
    printer->setCopyCount(std::max(1, copies));
    return printer;
}
} // namespace

ReportPreviewDialog::ReportPreviewDialog(const Report &report, int copies, QWidget *parent)
    : ReportPreviewDialog(report, copies, reportPrinter(copies), parent)
{
}

ReportPreviewDialog::ReportPreviewDialog(const Report &report, int copies, std::unique_ptr<QPrinter> printer,
                                         QWidget *parent)
    : QPrintPreviewDialog(printer.get(), parent), report_(report), printer_(std::move(printer))
{
    Q_UNUSED(copies);
    setObjectName(QStringLiteral("ReportPreview"));
    const auto &titles = report.titles();
    setWindowTitle(titles.empty() ? report.formName() : titles.front().caption->text());
    resize(900, 860);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *p) { ReportLayout::print(report_, *p); });
    save_ = new QAction(QStringLiteral("Save as PDF…"), this);
    save_->setObjectName(QStringLiteral("actSaveAsPdf"));
    connect(save_, &QAction::triggered, this, &ReportPreviewDialog::saveAsPdf);
    save_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    if (auto *bar = findChild<QToolBar *>()) {
        // Print and Save as PDF are what the preview is for: they come first and say so; the
        // zoom and page buttons keep their icons and tell their names on hovering.
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        const QList<QAction *> actions = bar->actions();
        QAction *first = actions.isEmpty() ? nullptr : actions.front();
        QAction *print = nullptr;
        for (QAction *a : actions)
            if (a->text().remove(QLatin1Char('&')) == QLatin1String("Print"))
                print = a;
        if (print) {
            bar->removeAction(print);
            bar->insertAction(first, print);
        }
        bar->insertAction(first, save_);
        bar->insertSeparator(first);
        for (QAction *a : {print, save_})
            if (auto *b = a ? qobject_cast<QToolButton *>(bar->widgetForAction(a)) : nullptr)
                b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

ReportPreviewDialog::~ReportPreviewDialog() = default;

void ReportPreviewDialog::saveAsPdf()
{
    const QString path = Dialogs::saveFile(this, QStringLiteral("Save as PDF…"), QStringLiteral("PDF File (*.pdf)"),
                                           report_.fileName() + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    QString error;
    const int pages = ReportPdf::writeFile(report_, path, &error);
    if (pages == 0)
        Dialogs::error(this, error);
}

namespace ReportPreview {
void show(QWidget *parent, const Report &report, int copies)
{
    if (hook()) {
        hook()(report, copies);
        return;
    }
    ReportPreviewDialog dialog(report, copies, parent);
    dialog.exec();
}

void setHook(std::function<void(const Report &, int)> h)
{
    hook() = std::move(h);
}
} // namespace ReportPreview
