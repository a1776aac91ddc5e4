#include "support/CodeEditors.h"

#include "codemaint/frmCodeMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "services/MaintTree.h"
#include "services/clsGenericMaint.h"

frmCodeMaintenance* OpenCodeEditor(int type) {
    gMainForm->OpenMaintenanceEditor(type * 20);
    return dynamic_cast<frmCodeMaintenance*>(gMainForm->ActiveEditor());
}

TreeNode* CodeNode(frmCodeMaintenance& f, const QString& fields) {
    if (fields.isEmpty())
        return f.trvMaintenance->Nodes().front();
    const QStringList k = (fields + ",,,,,").split(',');
    return f.trvMaintenance->Node(clsGenericMaint::BuildKey(f.strcurRoot, k[0], k[1], k[2], k[3], k[4]));
}
