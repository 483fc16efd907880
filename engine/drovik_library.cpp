// libdrovik.so: the engine archive linked whole; the version script keeps only Drovik_* visible.
#include "drovik.h"
