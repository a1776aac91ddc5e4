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
    if (verb == QLatin1String("attach") && action.size() == 7) {
        CodeEditorState editor(3);
        clsAcBuLevelCodeMaint engine;
        engine.OwnerForm(&editor);
        editor.keys = {action[2], "", action[3], action[4]};
        editor.entry.values.ChildLevel = action[5];
        editor.entry.values.ChildCode = action[6];
        editor.nodeType = 3;
        editor.NewRecord = true;
        return engine.Save();
    }
    if (verb == QLatin1String("detach") && action.size() == 7) {
        CodeEditorState editor(3);
        clsAcBuLevelCodeMaint engine;
        engine.OwnerForm(&editor);
        editor.keys = {action[2], "", action[3], action[4], action[5], action[6]};
        editor.nodeType = 4;
        return engine.Delete();
    }
    if (verb == QLatin1String("unrange") && action.size() == 6) {
        RangeEditorState editor(3);
        clsAcLevelRangeMaint engine;
        engine.OwnerForm(&editor);
        editor.trvMaintenance_NodeClick(
            editor.AddPath({action[1], action[2], action[3], action[4], action[5]}));
        return engine.Delete();
    }
    if (verb == QLatin1String("range") && action.size() == 6) {
        RangeEditorState editor(3);
        clsAcLevelRangeMaint engine;
        engine.OwnerForm(&editor);
        editor.trvMaintenance_NodeClick(editor.AddPath({action[1], action[2], action[3]}));
        editor.entry = {"", "", "", action[4], action[5]};
        editor.newRecord = true;
        return engine.Save();
    }
    if (verb == QLatin1String("code") && action.size() == 5) {
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
    if (verb == QLatin1String("sync") && action.size() == 4) {
        frmRangeMaintenance* editor = openRangeEditor(3);
        TreeNode* code = rangeNodeAt(editor, action.mid(1).join(QLatin1Char('|')));
        if (!code)
            return false;
        editor->trvMaintenance_NodeClick(code);
        editor->Synchronize();
    }
    return false;
}

} // namespace UserActions
