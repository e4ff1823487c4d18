// The member page's pigeon workbooks (import, club export, ring export) and the member list file.
#include "app/ui/dialogs.h"
#include "members/pigeonexchange.h"
#include "members/ui/memberpage.h"

#include "store/filename.h"
#include "store/sqlerror.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
const QString ExcelFilter = QStringLiteral("Excel File (*.xlsx)");

// Shows the import's progress on the page and gathers its skipped rows for one closing message.
class ImportSink : public OperationSink
{
public:
    ImportSink(QWidget *page, QProgressBar *bar, QLabel *text) : page_(page), bar_(bar), text_(text) {}
    void message(const QString &t, MessageKind kind) override
    {
        if (kind == MessageKind::Info)
            skipped << t;
        else if (kind == MessageKind::Failure)
            failures << t;
        else if (kind == MessageKind::Success)
            summary = t;
    }
    Answer ask(const QString &question, bool withCancel) override
    {
        return Dialogs::ask(page_, question, withCancel);
    }
    void progress(int done, int total, const QString &what) override
    {
        bar_->setMaximum(total);
        bar_->setValue(done);
        text_->setText(what);
        // The import runs on this thread: let the page paint its progress, take no input meanwhile.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    QStringList skipped, failures;
    QString summary;

private:
    QWidget *page_;
    QProgressBar *bar_;
    QLabel *text_;
};

QString closingText(const ImportSink &sink)
{
    QStringList lines = sink.failures;
    if (!sink.summary.isEmpty())
        lines << sink.summary;
    constexpr int shown = 30;
    lines += sink.skipped.mid(0, shown);
    if (sink.skipped.size() > shown)
        lines << QStringLiteral("… and %1 more skipped rows").arg(sink.skipped.size() - shown);
    return lines.join(QLatin1Char('\n'));
}
} // namespace

void TfrmMember_10::btnPigImportClick()
{
    const QString path = Dialogs::openFile(this, btnPigImport->text(), ExcelFilter);
    if (path.isEmpty())
        return;
    ImportSink sink(this, pbImport, lblImportProgress);
    pbImport->setValue(0);
    pbImport->show();
    lblImportProgress->show();
    btnPigImport->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PigeonExchange::ImportOutcome outcome;
    try {
        outcome = PigeonExchange::importPigeons(dm(), path, sink);
    } catch (const SqlError &e) {
        sink.failures << e.message();
    }
    QApplication::restoreOverrideCursor();
    btnPigImport->setEnabled(true);
    pbImport->hide();
    lblImportProgress->hide();
    if (outcome.ok)
        Dialogs::info(this, closingText(sink));
    else
        Dialogs::error(this, closingText(sink));
    if (!ringLoftNo_.isEmpty())
        loadRings();
}

void TfrmMember_10::btnPigExportClick()
{
    const QString path = Dialogs::saveFile(this, btnPigExport->text(), ExcelFilter, QStringLiteral("Pigeons.xlsx"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    PigeonExchange::savePigeons(dm(), QString(), path, sink);
}

void TfrmMember_10::btnRingExportClick()
{
    const QString loft = ringLoftNo_.isEmpty() ? selectedLoftNo() : ringLoftNo_;
    if (loft.isEmpty())
        return;
    const QString path = Dialogs::saveFile(this, btnRingExport->text(), ExcelFilter,
                                           FileName::of({QStringLiteral("Pigeons"), loft}) + QStringLiteral(".xlsx"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    PigeonExchange::savePigeons(dm(), loft, path, sink);
}

void TfrmMember_10::btnCoteClick()
{
    const QString path = Dialogs::saveFile(this, btnCote->text(), QStringLiteral("Texe file (COTE.txt)"),
                                           QStringLiteral("COTE.txt"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    PigeonExchange::saveMemberList(dm(), path, sink);
}
