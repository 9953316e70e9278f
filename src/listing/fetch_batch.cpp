#include "listing/fetch_batch.h"
