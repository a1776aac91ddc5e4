#pragma once

#include <QString>

class frmCodeMaintenance;
class TreeNode;

// The code editor of a maintenance type (1 to 5), opened from the main window's menu as the user opens it.
frmCodeMaintenance* OpenCodeEditor(int type);

// The node of the editor's tree keyed by its root and up to five key fields separated by ","; "" the root.
TreeNode* CodeNode(frmCodeMaintenance& f, const QString& fields);
