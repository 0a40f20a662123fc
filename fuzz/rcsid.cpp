// The revision line that the shared code prints and writes.
#include "common/prog.h"

const char rcsid[] = "$Id: fuzz.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";
