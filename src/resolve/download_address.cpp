#include "resolve/download_address.h"
