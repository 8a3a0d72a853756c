#include "common/Error.h"

namespace puente {

Error::Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

}  // namespace puente
