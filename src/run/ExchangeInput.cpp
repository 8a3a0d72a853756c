#include "run/ExchangeInput.h"

#include "common/Messages.h"
#include "exchange/Document.h"

#include <QFileInfo>

namespace puente {

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

Error LoadError(const LoadResult& result, const QString& path) {
    switch (result.status) {
    case LoadResult::Status::Missing: return messages::DocumentGone(path);
    case LoadResult::Status::Unreadable: return messages::DocumentUnreadable(path, result.message);
    case LoadResult::Status::Ok:
    case LoadResult::Status::NotWellFormed: break;
    }
    return messages::DocumentNotWellFormed(path, result.message, result.line, result.column);
}

std::unique_ptr<Document> LoadExchangeDocument(const QString& path, Reading reading) {
    auto document = std::make_unique<Document>();
    const LoadResult result = document->load(path, reading);
    if (!result.ok()) throw LoadError(result, path);
    const Element root = document->documentElement();
    if (root.isNull() || root.name() != "centro")
        throw messages::NotCentro(path, root.isNull() ? QString() : root.name());
    return document;
}

}  // namespace puente
