#include "base/log.h"
#include "search/index.h"
