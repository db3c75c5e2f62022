#include "search/frm_find.h"
#include "search/index.h"
