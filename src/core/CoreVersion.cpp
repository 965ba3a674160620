#include "core/CoreVersion.h"

const char* CoreVersion() {
    return TREVALON_VERSION;
}
