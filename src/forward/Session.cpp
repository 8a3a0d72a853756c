#include "forward/Session.h"

#include "exchange/Document.h"

namespace puente {

Session::Session() = default;
Session::~Session() = default;

}  // namespace puente
