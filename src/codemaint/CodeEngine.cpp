#include "codemaint/CodeEngine.h"

#include "codemaint/CodeEditorAccess.h"
#include "frame/modMain.h"

// The writing of the hierarchies is not there yet: nothing is written, and nothing claims it was.
bool CodeEngine::Save() {
    return false;
}

bool CodeEngine::Delete() {
    return false;
}

QString CodeEngine::FilterCondition(const QString& lead) const {
    const QString filter = m_frmOwner ? m_frmOwner->FilterText().trimmed() : QString();
    if (filter.isEmpty())
        return {};
    return lead + SqlText(filter);
}
