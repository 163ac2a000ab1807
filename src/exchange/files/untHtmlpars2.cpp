#include "exchange/files/untHtmlpars2.h"
