#include "common/Error.h"

namespace puente {

const char* KindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::NoInput: return "no_input";
    case ErrorKind::NotWellFormed: return "not_well_formed";
    case ErrorKind::NotExchangeDocument: return "not_exchange_document";
    case ErrorKind::HeldElsewhere: return "held_elsewhere";
    case ErrorKind::DamagedTable: return "damaged_table";
    case ErrorKind::BadValue: return "bad_value";
    case ErrorKind::InputOutput: return "input_output";
    case ErrorKind::Internal: return "internal";
    }
    return "internal";
}

Error::Error(ErrorKind kind, QString message, ErrorPlace place)
    : kind_(kind), message_(std::move(message)), place_(std::move(place)), utf8_(message_.toUtf8()) {}

}  // namespace puente
