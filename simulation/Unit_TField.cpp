// The field's single instance; see Unit_TField.h.
#include "simulation/Unit_TField.h"

TField* Field = nullptr;
