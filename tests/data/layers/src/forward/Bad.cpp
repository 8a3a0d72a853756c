// A forward file that reaches into the return run: the layer check refuses it.
#include "forward/ForwardRun.h"
#include "return/ReturnRun.h"
