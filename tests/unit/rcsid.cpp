// The revision line that the shared units print and write; each program
// defines its own.
#include "common/prog.h"

const char rcsid[] = "$Id: unit_tests.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";
