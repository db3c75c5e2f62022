#include "db/frm_list.h"
#include "search/frm_find.h"
