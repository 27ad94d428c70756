// placeholder
#include "tests/simulation/world_fixture.h"
