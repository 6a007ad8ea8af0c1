// The module's one global record, filled at start-up.
#include "frame/globdata.h"

GLOBDATA globData;
