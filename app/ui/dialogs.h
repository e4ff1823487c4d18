#pragma once

#include "store/operationsink.h"

#include <QString>
#include <QStringList>

class QWidget;

// Every message box and file dialog of the pages goes through here, so a test can answer them in
// advance (push*) and read what was shown (shown()).
namespace Dialogs {
// The program's name, the title of its main window and message boxes. It is not the platform's
// display name, which would be added to every other window's title.
QString programTitle();
Answer ask(QWidget *parent, const QString &text, bool withCancel = false);
void info(QWidget *parent, const QString &text);
void error(QWidget *parent, const QString &text);
QString openFile(QWidget *parent, const QString &caption, const QString &filter, const QString &dir = {});
QString saveFile(QWidget *parent, const QString &caption, const QString &filter, const QString &suggested = {});

// Test hooks. While answers or files are queued no dialog is shown.
void pushAnswer(Answer a);
void pushFile(const QString &path); // an empty path means "cancelled"
// Shows no window at all: questions answer `fallback`, file dialogs return empty.
void setHeadless(bool on, Answer fallback = Answer::No);
QStringList shown();
void clearShown();
// The name the last save dialog proposed.
QString lastProposedFile();
} // namespace Dialogs

// Reports an operation's messages in message boxes and asks its questions in them.
class DialogSink : public OperationSink
{
public:
    explicit DialogSink(QWidget *parent) : parent_(parent) {}
    void message(const QString &text, MessageKind kind) override;
    Answer ask(const QString &question, bool withCancel) override;
    void beep() override;

private:
    QWidget *parent_;
};
