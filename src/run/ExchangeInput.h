// The exchange document as both runs take it in.
#pragma once

#include "common/Error.h"
#include "exchange/Document.h"

#include <QString>

#include <memory>

namespace puente {

// The error for a document that did not load (`result` not ok): the one
// place where the document layer's LoadResult becomes an Error.
Error LoadError(const LoadResult& result, const QString& path);

// True when a regular file stands at `path` (an empty path is no file).
bool FileExists(const QString& path);

// Loads the exchange document at `path`, as much of it as `reading` keeps
// (the forward run reads attributes only: Reading::ElementsOnly). Throws Error: InputOutput when the
// file cannot be read, NotWellFormed when it is not well-formed XML (with the
// parser's line and column), NotExchangeDocument when its root element is not
// `centro`; NoInput when it has gone since it was checked.
std::unique_ptr<Document> LoadExchangeDocument(const QString& path, Reading reading);

}  // namespace puente
