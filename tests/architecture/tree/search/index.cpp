#include "db/store.h"
#include "base/log.h"
