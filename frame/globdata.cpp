#include "frame/globdata.h"

GLOBDATA globData;
