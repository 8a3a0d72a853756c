// Signals that would end the program in the middle of a write.
#pragma once

namespace puente {

// Past a file-size limit (ulimit -f) the system sends SIGXFSZ, which ends the
// program on the spot. Ignored, the write fails with an error instead, and
// the run reports it, leaving every file as it was. Called first thing by
// each program; does nothing where the signal does not exist.
void IgnoreFileSizeSignal();

}  // namespace puente
