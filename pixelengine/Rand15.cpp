#include "Rand15.h"
// Header-only generator; this unit keeps the library buildable before other kernels exist.
