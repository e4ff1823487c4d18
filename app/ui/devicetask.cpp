#include "app/ui/devicetask.h"

#include "device/twinapiv8.h"
#include "store/operationsink.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace {
// Hands every call to the page's sink on the GUI thread and waits for it (questions need the
// answer; messages keep their order).
class ForwardingSink : public OperationSink
{
public:
    ForwardingSink(QObject *gui, OperationSink &target) : gui_(gui), target_(target) {}
    void message(const QString &text, MessageKind kind) override
    {
        call([&] { target_.message(text, kind); });
    }
    Answer ask(const QString &question, bool withCancel) override
    {
        Answer a = Answer::Cancel;
        call([&] { a = target_.ask(question, withCancel); });
        return a;
    }
    void beep() override
    {
        call([&] { target_.beep(); });
    }
    void clearMessages() override
    {
        call([&] { target_.clearMessages(); });
    }
    void progress(int done, int total, const QString &what) override
    {
        call([&] { target_.progress(done, total, what); });
    }

private:
    template<typename F> void call(F f)
    {
        QMetaObject::invokeMethod(gui_, f, Qt::BlockingQueuedConnection);
    }
    QObject *gui_;
    OperationSink &target_;
};
} // namespace

namespace DeviceTask {

bool run(QWidget *page, const QString &dataFolder, OperationSink &pageSink, const Job &job)
{
    QObject gui; // lives on the GUI thread: the target of the forwarded calls
    ForwardingSink sink(&gui, pageSink);
    bool result = false;
    QString error;
    QThread *thread = QThread::create([&] {
        try {
            TdmORVS dm(dataFolder);
            TWinApiV8 api(&sink); // a port that cannot be opened is reported to the sink
            if (api.isOpen())
                result = job(dm, api, sink);
        } catch (const SqlError &e) {
            error = e.message();
        }
    });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    const QPointer<QWidget> guard(page);
    if (page)
        page->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    QApplication::restoreOverrideCursor();
    if (guard)
        guard->setEnabled(true);
    if (!error.isEmpty())
        pageSink.failure(error);
    return result;
}

} // namespace DeviceTask
