// The one error type of the system.
//
// Every failure that ends a run (a document that cannot be read, a table that
// cannot be opened, a value that a field refuses) is thrown as a puente::Error
// carrying a Spanish message that the user can act on: which file, table or
// field, and where known the line and column. Nothing below the front ends
// catches it: the window's handlers and `puente`'s main show the message.
#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

namespace puente {

class Error : public std::exception {
public:
    explicit Error(QString message);

    // The message as the user sees it.
    const QString& message() const noexcept { return message_; }
    // The same message in UTF-8, for std::exception users.
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

}  // namespace puente
