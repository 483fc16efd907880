// libdrovik.so: the engine archive linked whole; the version script keeps only Drovik_* visible.
#include "drovik.h"
#include "api/sound_manager.h"

namespace {

// The sound manager is built when the library is loaded.
const bool sound_manager_ready = (sound_manager_install(), true);

}  // namespace
