#include "forward/RunSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"
#include "forward/Session.h"

#include <QDir>
#include <QFileInfo>

namespace puente {

void ChooseDocument(Session& session, UserInterface& ui) {
    QString chosen;
    if (ui.ChooseExchangeFile(chosen)) session.filenameXML = chosen;
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

std::unique_ptr<Document> LoadExchangeDocument(const QString& path) {
    auto document = std::make_unique<Document>();
    const LoadResult result = document->load(path);
    const QString shown = QDir::toNativeSeparators(path);
    switch (result.status) {
    case LoadResult::Status::Ok:
        break;
    case LoadResult::Status::Missing:
        throw Error(QString("No existe el archivo '%1'.").arg(shown));
    case LoadResult::Status::Unreadable:
        throw Error(QString("No se puede leer el archivo '%1': %2").arg(shown, result.message));
    case LoadResult::Status::NotWellFormed:
        throw Error(QString("El archivo '%1' no es un documento XML válido: %2 (línea %3, columna %4). "
                            "No se ha modificado ninguna tabla.")
                        .arg(shown, result.message)
                        .arg(result.line)
                        .arg(result.column));
    }
    const Element root = document->documentElement();
    if (root.isNull() || root.name() != "centro")
        throw Error(QString("El archivo '%1' no es un documento de intercambio de ZELTA: su elemento raíz es '%2' y "
                            "debería ser 'centro'.")
                        .arg(shown, root.isNull() ? QString() : root.name()));
    return document;
}

}  // namespace puente
