#include "forward/NewTable.h"

#include "run/TableFiles.h"

namespace puente {

std::unique_ptr<Table> RebuildTable(const QString& directory, const QString& name, const QList<FieldSpec>& fields,
                                    OpenMode mode) {
    RemoveTableFile(directory, name, "DBF");
    RemoveTableFile(directory, name, "MDX");
    auto table = std::make_unique<Table>(directory, name);
    table->CreateTable(fields);
    table->Open(mode);
    // Built in the staging folder, where nothing reads it before it is
    // complete: records are written in batches.
    table->SetWriteBehind(true);
    return table;
}

}  // namespace puente
