#pragma once

#include "services/LookupSettings.h"

// The lookups as the editors' buttons configure them, by name: "categories", "codes AREA LEVEL",
// "levels AREA" or "accounts CHART". Everything after the area is the level, blanks included.
void ConfigureLookup(LookupSettings& lookup, const QString& name);
