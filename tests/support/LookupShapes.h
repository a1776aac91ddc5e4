#pragma once

#include "services/LookupSettings.h"

// The lookups as the editors' buttons configure them, by name: "categories", "codes AREA LEVEL",
// "levels AREA", "accounts CHART" or "charts". Everything after the area of "codes" is the level, blanks
// included.
void ConfigureLookup(LookupSettings& lookup, const QString& name);
