#include "search/frm_find.h"
#include "db/frm_list.h"
