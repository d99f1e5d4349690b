// The pen and layer state tests and attribute completion live with the
// output context; this header stays for the code that includes it by name.
#pragma once

#include "display/output.h"
