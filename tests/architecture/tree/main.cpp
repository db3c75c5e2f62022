#include "app/frm_main.h"
