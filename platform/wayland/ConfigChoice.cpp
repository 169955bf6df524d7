#include "platform/wayland/ConfigChoice.h"

int chooseConfigColour(const ConfigColour* configs, int count) {
    int opaque = -1;
    for (int i = 0; i < count; i++) {
        const ConfigColour& colour = configs[i];
        if (colour.alpha != 0) {
            continue;
        }
        if (colour.red == 8 && colour.green == 8 && colour.blue == 8) {
            return i;
        }
        if (opaque < 0) {
            opaque = i;
        }
    }
    if (opaque >= 0) {
        return opaque;
    }
    return count > 0 ? 0 : -1;
}
