#include "base/log.h"
#include "db/store.h"
