#pragma once

#include "store/operationsink.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records everything an operation reports; answers questions from a script (then `fallback`).
class RecordingSink : public OperationSink
{
public:
    struct Message
    {
        QString text;
        MessageKind kind;
    };

    void message(const QString &text, MessageKind kind) override { messages.append({text, kind}); }
    Answer ask(const QString &question, bool withCancel) override
    {
        questions.append(question);
        lastAskHadCancel = withCancel;
        return answers.isEmpty() ? fallback : answers.takeFirst();
    }
    void beep() override { ++beeps; }
    void clearMessages() override { ++clears; }
    void progress(int done, int total, const QString &what) override
    {
        progressCalls.append(QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(what));
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : messages)
            out << m.text;
        return out;
    }
    QStringList textsOf(MessageKind k) const
    {
        QStringList out;
        for (const auto &m : messages)
            if (m.kind == k)
                out << m.text;
        return out;
    }
    bool has(const QString &text) const { return texts().contains(text); }
    bool hasContaining(const QString &part) const
    {
        for (const auto &m : messages)
            if (m.text.contains(part))
                return true;
        return false;
    }
    QString last() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear()
    {
        messages.clear();
        questions.clear();
        progressCalls.clear();
        beeps = 0;
        clears = 0;
    }

    QList<Message> messages;
    QStringList questions;
    QStringList progressCalls;
    QList<Answer> answers;
    Answer fallback = Answer::No;
    bool lastAskHadCancel = false;
    int beeps = 0;
    int clears = 0;
};
