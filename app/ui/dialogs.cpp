#include "app/ui/dialogs.h"

#include "store/filename.h"

#include <QApplication>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>

namespace {
QList<Answer> answers;
QStringList files;
QStringList shownTexts;
QString proposedFile;
bool headless = false;
Answer headlessAnswer = Answer::No;
} // namespace

namespace Dialogs {

QString programTitle()
{
    return QStringLiteral("Pennavox Club Management");
}

Answer ask(QWidget *parent, const QString &text, bool withCancel)
{
    shownTexts << text;
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (headless)
        return headlessAnswer;
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    // Most questions are about deleting or replacing: Enter must not answer Yes by itself.
    const auto r =
        QMessageBox::question(parent, programTitle(), text, buttons, QMessageBox::No);
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void info(QWidget *parent, const QString &text)
{
    shownTexts << text;
    if (headless || !answers.isEmpty())
        return;
    QMessageBox::information(parent, programTitle(), text);
}

void error(QWidget *parent, const QString &text)
{
    shownTexts << text;
    if (headless || !answers.isEmpty())
        return;
    QMessageBox::critical(parent, programTitle(), text);
}

QString openFile(QWidget *parent, const QString &caption, const QString &filter, const QString &dir)
{
    if (!files.isEmpty())
        return files.takeFirst();
    if (headless)
        return {};
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString saveFile(QWidget *parent, const QString &caption, const QString &filter, const QString &suggested)
{
    proposedFile = suggested;
    // A name typed without its extension gets the filter's.
    if (!files.isEmpty())
        return FileName::withExtension(files.takeFirst(), filter);
    if (headless)
        return {};
    return FileName::withExtension(QFileDialog::getSaveFileName(parent, caption, suggested, filter), filter);
}

void pushAnswer(Answer a)
{
    answers << a;
}

void pushFile(const QString &path)
{
    files << path;
}

void setHeadless(bool on, Answer fallback)
{
    headless = on;
    headlessAnswer = fallback;
}

QString lastProposedFile()
{
    return proposedFile;
}

QStringList shown()
{
    return shownTexts;
}

void clearShown()
{
    shownTexts.clear();
    answers.clear();
    files.clear();
}

} // namespace Dialogs

void DialogSink::message(const QString &text, MessageKind kind)
{
    if (kind == MessageKind::Failure)
        Dialogs::error(parent_, text);
    else if (kind != MessageKind::Working)
        Dialogs::info(parent_, text);
}

Answer DialogSink::ask(const QString &question, bool withCancel)
{
    return Dialogs::ask(parent_, question, withCancel);
}

void DialogSink::beep()
{
    QApplication::beep();
}
