#include "settings/untSysConfig.h"
