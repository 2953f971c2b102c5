#include "db/DbEngine.h"
