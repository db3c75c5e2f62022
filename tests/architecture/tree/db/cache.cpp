#include "db/frm_list.h"
