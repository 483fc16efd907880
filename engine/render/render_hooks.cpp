// Calls from the renderer into world parts that plug in separately; an unset hook does nothing.
#include "render/render_hooks.h"

render_hooks& render_hooks_state() {
    static render_hooks hooks{};
    return hooks;
}
