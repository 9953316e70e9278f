#include "listing/pattern.h"
