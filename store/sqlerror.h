#pragma once

#include <stdexcept>
#include <QString>

// A statement that failed. Operations let it end the action; the page or CLI shows its text.
class SqlError : public std::runtime_error
{
public:
    SqlError(const QString &message, const QString &statement)
        : std::runtime_error(message.toStdString()), message_(message), statement_(statement)
    {
    }
    QString message() const { return message_; }
    QString statement() const { return statement_; }

private:
    QString message_;
    QString statement_;
};
