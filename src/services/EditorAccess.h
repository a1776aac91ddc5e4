#pragma once

#include <QString>

class MaintTree;
class clsGenericMaint;

// What the engines of both editors read and write of the editor that owns them, whatever it maintains:
// the maintenance type and area, the selection's node type, the pending insert and delete, the tree with
// the object that builds its nodes, and the New and Delete commands. Each editor's own interface adds its
// key parts and entry values.
class EditorAccess {
public:
    virtual ~EditorAccess() = default;

    virtual qint16 MaintenanceType() const = 0;
    virtual QString LevelType() const = 0;
    // The text of the filter box, as typed.
    virtual QString FilterText() const = 0;

    // The node type of this editor's selection (0 root to 4 leaf); setting it also sets the program-wide
    // one.
    virtual qint32 NodeType() const = 0;
    virtual void SetNodeType(qint32 type) = 0;
    // An insert is pending; a delete is under way.
    virtual bool IsNewRecord() const = 0;
    virtual void SetNewRecord(bool pending) = 0;
    virtual bool IsDelRecord() const = 0;
    virtual void SetDelRecord(bool pending) = 0;
    // The text of the tree's root node.
    virtual QString CurrentRoot() const = 0;
    // The tree and the services object that builds its nodes; nullptr where there is none, and then the
    // engines leave the nodes alone.
    virtual MaintTree* Tree() = 0;
    virtual clsGenericMaint* GenMaint() = 0;
    // The New and Delete commands of the main window.
    virtual void EnableNew(bool enable) = 0;
    virtual void EnableDelete(bool enable) = 0;
};
