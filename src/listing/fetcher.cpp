#include "listing/fetcher.h"
