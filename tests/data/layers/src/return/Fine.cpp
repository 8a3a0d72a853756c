// A return file that keeps to its layers.
#include "run/RunReport.h"
