#include "platform/Signals.h"

#include <csignal>

namespace puente {

void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace puente
