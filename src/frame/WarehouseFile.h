#pragma once

#include <QString>

class DbConnection;

// A local warehouse file opens whatever it holds, even nothing at all. Before the program works on one it
// makes sure the file holds the warehouse's tables, so that a wrong file is turned away at the door
// rather than failing at its first lookup.
class WarehouseFile {
public:
    // True for a server connection and for a file that holds every warehouse table. Otherwise raises
    // the current error, naming the file and a missing table, and answers false. Reads only.
    static bool Check(DbConnection& connection, const QString& connectionText);
};
