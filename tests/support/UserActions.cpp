#include "support/UserActions.h"

#include "codemaint/CodeEditorState.h"
#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "services/frmLookup.h"
#include "support/LookupShapes.h"
#include "support/RangeEditorDriver.h"

#include <QLineEdit>

namespace UserActions {

bool Run(const QStringList& action) {
    const QString& verb = action.value(0);
    if ((verb == "attach" || verb == "detach") && action.size() == 7) {
        CodeEditorState editor(3);
        clsAcBuLevelCodeMaint engine;
        engine.OwnerForm(&editor);
        editor.keys = {action[2], "", action[3], action[4]};
        if (verb == "detach") {
            editor.keys.ChildLevel = action[5];
            editor.keys.ChildCode = action[6];
            editor.nodeType = 4;
            return engine.Delete();
        }
        editor.entry.values.ChildLevel = action[5];
        editor.entry.values.ChildCode = action[6];
        editor.nodeType = 3;
        editor.NewRecord = true;
        return engine.Save();
    }
    if ((verb == "range" || verb == "unrange") && action.size() == 6) {
        RangeEditorState editor(3);
        clsAcLevelRangeMaint engine;
        engine.OwnerForm(&editor);
        const RangeKeyParts range{action[1], action[2], action[3], action[4], action[5]};
        if (verb == "unrange") {
            editor.trvMaintenance_NodeClick(editor.AddPath(range));
            return engine.Delete();
        }
        editor.trvMaintenance_NodeClick(editor.AddPath({range.COA, range.level, range.Code}));
        editor.entry = {"", "", "", range.FR_ACCT, range.TO_ACCT};
        editor.newRecord = true;
        return engine.Save();
    }
    if (verb == "code" && action.size() == 5) {
        frmLookup lookup;
        ConfigureLookup(lookup, "codes " + action[1] + " " + action[2]);
        lookup.m_strFindItem = QStringLiteral("<none>");
        lookup.cmdClear_Click();
        lookup.txtCode()->setText(action[3]);
        lookup.txtDesc()->setText(action[4]);
        lookup.cmdAdd_Click();
        // An added code is listed and picked for a change of its description.
        return lookup.IsModify();
    }
    if (verb == "sync" && action.size() == 4) {
        frmRangeMaintenance* editor = openRangeEditor(3);
        if (TreeNode* code = rangeNodeAt(editor, action.mid(1).join('|'))) {
            editor->trvMaintenance_NodeClick(code);
            editor->Synchronize();
        }
    }
    return false;
}

} // namespace UserActions
