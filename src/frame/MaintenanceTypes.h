#pragma once

#include <QString>

// The five maintenance types and what follows from a type: its name, the editors' captions and the
// area code written to the area columns.
class MaintenanceTypes {
public:
    enum Editor { Range, Code };

    // "Account Multiplier" ... "Business Area Level"; "" outside 1-5.
    static QString TypeName(int type);
    // "Account Level Range Maintenance" and the like; "" outside 1-5.
    static QString Description(int type, Editor editor);
    // "AC", "BU" or "BA"; the Code Maintenance editor also gives "AC" for types 1 and 2.
    static QString AreaCode(int type, Editor editor);
};
