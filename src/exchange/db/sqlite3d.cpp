#include "exchange/db/sqlite3d.h"
