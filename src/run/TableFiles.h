// The files of a table in a folder, whatever the letter case of their names
// (Horalis on Windows may write "proft.dbf" for PROFT).
#pragma once

#include <QString>

namespace puente {

// True when NAME.DBF, in any letter case, is a file in `directory`.
bool TableFileExists(const QString& directory, const QString& name);

// The path of NAME.DBF in `directory` as the file is named there (any
// letter case); empty when there is none.
QString TableFilePath(const QString& directory, const QString& name);

// Removes NAME.<extension> in `directory` whatever the letter case of the
// file's name; true when nothing of that name is left.
bool RemoveTableFile(const QString& directory, const QString& name, const QString& extension);

}  // namespace puente
