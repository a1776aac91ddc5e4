#pragma once

#include "codemaint/CodeEngine.h"

#include <QString>

// The engine of the level hierarchy (CS_LEVELHIER) of one area: AC for account levels (type 3), BU and
// BA for business-unit and business-area levels (types 4 and 5). Under each chart of account or business
// level it keeps parent levels, their parent codes and the child codes attached to each.
class clsAcBuLevelCodeMaint : public CodeEngine {
public:
    QString GetSQL_Level() const;
    QString TreeStatement() const override { return GetSQL_Level(); }
};
