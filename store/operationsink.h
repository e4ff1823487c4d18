#pragma once

#include <QString>

// Kinds of message an operation reports; the clock page colours them yellow, red and lime.
enum class MessageKind { Working, Failure, Success, Info };

enum class Answer { Yes, No, Cancel };

// How an operation talks to whoever runs it: a page (message areas and boxes), the CLI
// (lines on the terminal) or a test (a recorder with scripted answers).
class OperationSink
{
public:
    virtual ~OperationSink() = default;
    virtual void message(const QString &text, MessageKind kind) = 0;
    // Yes/No question; with withCancel a Yes/No/Cancel one.
    virtual Answer ask(const QString &question, bool withCancel = false) = 0;
    virtual void beep() {}
    // Empties the message area: the next message becomes its whole content.
    virtual void clearMessages() {}
    virtual void progress(int done, int total, const QString &what)
    {
        Q_UNUSED(done);
        Q_UNUSED(total);
        Q_UNUSED(what);
    }

    void working(const QString &t) { message(t, MessageKind::Working); }
    void failure(const QString &t) { message(t, MessageKind::Failure); }
    void success(const QString &t) { message(t, MessageKind::Success); }
    void info(const QString &t) { message(t, MessageKind::Info); }
};

// A sink that drops everything and answers every question with a fixed answer.
class NullSink : public OperationSink
{
public:
    explicit NullSink(Answer a = Answer::No) : answer_(a) {}
    void message(const QString &, MessageKind) override {}
    Answer ask(const QString &, bool) override { return answer_; }

private:
    Answer answer_;
};
