#include "listing/charset.h"
