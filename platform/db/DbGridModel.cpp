#include "db/DbGridModel.h"
