// The one error type of the system.
//
// Every failure that ends a run is thrown as a puente::Error. It carries
//   - a kind, which says what went wrong in terms a caller can act on (the
//     front ends choose their display and `puente` its exit status by it);
//   - a Spanish message that the user can act on, complete in itself: which
//     file, table or field, and where known the line and column;
//   - where known, the place: the file's path and, for a document, the line
//     and column (1-based; 0 when unknown).
// The messages themselves are made in one place, common/Messages. Nothing
// below the front ends catches an Error: the window's handlers and `puente`
// show it.
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace puente {

enum class ErrorKind {
    NoInput,              // the exchange document, or the SOLUC table, is not there
    NotWellFormed,        // the document is not well-formed XML
    NotExchangeDocument,  // well-formed, but not an exchange document of ZELTA
    HeldElsewhere,        // a table or the working directory is in use by another program or run
    DamagedTable,         // a table that cannot be read as the table it should be
    BadValue,             // a value that a field or a conversion refuses
    InputOutput,          // a file or folder that cannot be read, written, created or moved
    Internal,             // an operation used against its contract: a fault of the program
};

// A short stable name of the kind ("no_input", "bad_value"...), for logs and tests.
const char* KindName(ErrorKind kind);

struct ErrorPlace {
    QString path;    // the file concerned; empty when none
    int line = 0;    // 1-based; 0 when unknown
    int column = 0;  // 1-based; 0 when unknown
};

class Error : public std::exception {
public:
    Error(ErrorKind kind, QString message, ErrorPlace place = {});

    ErrorKind kind() const noexcept { return kind_; }
    // The message as the user sees it.
    const QString& message() const noexcept { return message_; }
    const ErrorPlace& place() const noexcept { return place_; }
    // The message in UTF-8, for std::exception users.
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    ErrorKind kind_;
    QString message_;
    ErrorPlace place_;
    QByteArray utf8_;
};

}  // namespace puente
