#include "platform/LockProbe.h"

#include <QFile>

namespace puente {

bool LockFileIsFree(const QString& path) {
    return QFile::remove(path);  // only possible when no handle is open
}

}  // namespace puente
