#include "services/frmLookup.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"
#include "services/LookupCodeValidator.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <initializer_list>

namespace {

// The dialog keeps the proportions it was designed with, in twips (15 to a pixel).
constexpr int px(int twips) {
    return twips / 15;
}

QRect twipRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace

frmLookup::frmLookup(QWidget* parent) : QDialog(parent), m_lookup(*this) {
    setObjectName("frmLookup");
    setWindowTitle("Lookup");
    buildControls();
}

frmLookup::~frmLookup() = default;

void frmLookup::buildControls() {
    const auto button = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(twipRect(left, 5320, 1335, 375));
        return b;
    };
    m_lblCode = new QLabel("Code:", this);
    m_lblCode->setObjectName("lblCode");
    m_txtCode = new EntryBox(this);
    m_txtCode->setObjectName("txtCode");
    m_lblDesc = new QLabel("Description:", this);
    m_lblDesc->setObjectName("lblDesc");
    m_lblDesc->setGeometry(twipRect(240, 840, 1095, 255));
    m_txtDesc = new EntryBox(this);
    m_txtDesc->setObjectName("txtDesc");
    m_txtDesc->setGeometry(twipRect(1800, 840, 5350, 375));
    m_lblCode->setBuddy(m_txtCode);
    m_lblDesc->setBuddy(m_txtDesc);

    m_ctlListView = new QTreeWidget(this);
    m_ctlListView->setObjectName("ctlListView");
    m_ctlListView->setGeometry(twipRect(240, 1440, 6960, 3105));
    m_ctlListView->setRootIsDecorated(false);
    m_ctlListView->setItemsExpandable(false);
    m_ctlListView->setUniformRowHeights(true);
    m_ctlListView->setAllColumnsShowFocus(true);
    m_ctlListView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ctlListView->header()->setStretchLastSection(false);

    m_cmdAdd = button("cmdAdd", "&Add", 360);
    m_cmdDelete = button("cmdDelete", "&Delete", 1800);
    m_cmdClear = button("cmdClear", "&Clear", 3240);
    m_cmdOK = button("cmdOK", "&OK", 4680);
    m_cmdClose = button("cmdClose", "&Cancel", 6120);
    // Enter picks the highlighted row, as OK does; a button that has the focus takes Enter for itself, and so
    // does an entry box the user has typed into (keyPressEvent).
    m_cmdOK->setDefault(true);
    setFixedSize(px(7560), px(6120));

    connect(m_ctlListView, &QTreeWidget::itemClicked, this, [this] { ctlListView_ItemClick(); });
    // Moving through the list with the keyboard picks rows as clicks do.
    connect(m_ctlListView, &QTreeWidget::itemSelectionChanged, this, [this] { ctlListView_ItemClick(); });
    connect(m_ctlListView, &QTreeWidget::itemDoubleClicked, this, [this] { ctlListView_DblClick(); });
    connect(m_cmdAdd, &QPushButton::clicked, this, &frmLookup::cmdAdd_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &frmLookup::cmdDelete_Click);
    connect(m_cmdClear, &QPushButton::clicked, this, &frmLookup::cmdClear_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmLookup::cmdOK_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &frmLookup::cmdClose_Click);
    for (EntryBox* box : {m_txtCode, m_txtDesc})
        connect(box, &QLineEdit::textEdited, this, [this] { m_entryTyped = true; });
}

void frmLookup::ensureLoaded() {
    if (!m_loaded)
        Form_Load();
}

QPushButton* frmLookup::cmdAdd() {
    ensureLoaded();
    return m_cmdAdd;
}

QPushButton* frmLookup::cmdDelete() {
    ensureLoaded();
    return m_cmdDelete;
}

QPushButton* frmLookup::cmdClear() {
    ensureLoaded();
    return m_cmdClear;
}

QPushButton* frmLookup::cmdOK() {
    ensureLoaded();
    return m_cmdOK;
}

QPushButton* frmLookup::cmdClose() {
    ensureLoaded();
    return m_cmdClose;
}

QLineEdit* frmLookup::txtCode() {
    ensureLoaded();
    return m_txtCode;
}

QLineEdit* frmLookup::txtDesc() {
    ensureLoaded();
    return m_txtDesc;
}

QLabel* frmLookup::lblCode() {
    ensureLoaded();
    return m_lblCode;
}

QLabel* frmLookup::lblDesc() {
    ensureLoaded();
    return m_lblDesc;
}

QTreeWidget* frmLookup::ctlListView() {
    ensureLoaded();
    return m_ctlListView;
}

int frmLookup::Show() {
    ensureLoaded();
    return ShowModal(*this);
}

void frmLookup::showEvent(QShowEvent* event) {
    ensureLoaded();
    QDialog::showEvent(event);
}

void frmLookup::keyPressEvent(QKeyEvent* event) {
    // Enter in a box the user has typed into is for the entry, as Add or Accept: OK would close the dialog
    // with the highlighted row as it is stored and drop what was typed. The dialog stays open either way.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    if (enter && m_entryTyped && (focus == m_txtCode || focus == m_txtDesc)) {
        event->accept();
        m_cmdAdd->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmLookup::done(int result) {
    // Closed is unloaded: a later use of a control reads the list afresh.
    m_loaded = false;
    LoadedWindows::instance().Forget(this);
    QDialog::done(result);
}

void frmLookup::Form_Load() {
    m_loaded = true;
    LoadedWindows::instance().Register(this);
    mb_Modify = false;
    m_entryTyped = false;
    // A reload starts from the controls as designed, whatever the last caller did to them.
    for (QWidget* w : std::initializer_list<QWidget*>{m_cmdAdd, m_cmdDelete, m_cmdClear, m_cmdOK, m_cmdClose,
                                                      m_txtCode, m_txtDesc})
        w->setEnabled(true);

    SetEntryEditable();
    setWindowTitle(m_strCaption);
    SetupColumnHeaders();
    if (!OpenRecordset())
        return;
    FillListView();
    SetEntryFieldLimits();

    if (!m_strFindItem.isEmpty())
        SelectListItem(m_ctlListView, m_strFindItem);
    else if (!m_lookup.Rows().isEmpty())
        SelectListItem(m_ctlListView, m_lookup.Rows().front().code);

    // Nothing picked: ready to add an entry.
    if (m_txtCode->text().trimmed().isEmpty() && m_txtDesc->text().trimmed().isEmpty())
        clearEntry();
}

void frmLookup::SetEntryEditable() {
    m_txtCode->clear();
    m_txtCode->setReadOnly(true);
    m_txtDesc->clear();
    m_txtDesc->setReadOnly(true);
    m_cmdAdd->setText("&Add");
    m_cmdAdd->setEnabled(false);
    // Only the code dictionaries are ever changed here, and codes without their level only picked.
    m_cmdDelete->setEnabled(m_lookup.AddAllowed());
    if (m_lookup.Editable()) {
        m_txtDesc->setReadOnly(false);
        m_cmdAdd->setEnabled(m_lookup.AddAllowed());
    }
}

void frmLookup::SetupColumnHeaders() {
    const int captions = static_cast<int>(m_colColumnNames.size());
    m_ctlListView->clear();
    m_ctlListView->setColumnCount(qMax(1, captions));
    m_ctlListView->setHeaderLabels(m_colColumnNames);
    if (captions == 1) {
        m_ctlListView->setColumnWidth(0, px(6900));
        m_lblCode->setText(m_colColumnNames[0] + ":");
        m_lblCode->setGeometry(twipRect(240, 500, 1455, 255));
        m_txtCode->setGeometry(twipRect(1800, 500, 2055, 375));
        m_lblDesc->setVisible(false);
        m_txtDesc->setVisible(false);
    } else {
        m_lblCode->setGeometry(twipRect(240, 360, 1455, 255));
        m_txtCode->setGeometry(twipRect(1800, 360, 2055, 375));
        m_lblDesc->setVisible(true);
        m_txtDesc->setVisible(true);
        for (int i = 0; i < captions; ++i) {
            if (i == 0) {
                m_ctlListView->setColumnWidth(0, px(1500));
                m_lblCode->setText(m_colColumnNames[0] + ":");
            } else {
                m_ctlListView->setColumnWidth(i, px(5100));
                m_lblDesc->setText(m_colColumnNames[i] + ":");
            }
        }
    }
    FitCaptions();
}

void frmLookup::FitCaptions() {
    // A caption longer than its designed room ("Chart Of Account:") takes the room it needs: the boxes
    // move right as far as it reaches, the description box keeping its right edge.
    int reach = m_lblCode->x() + m_lblCode->sizeHint().width();
    for (QLabel* label : {m_lblCode, m_lblDesc})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    if (!m_lblDesc->isHidden())
        reach = std::max(reach, m_lblDesc->x() + m_lblDesc->sizeHint().width());
    const int left = std::max(px(1800), reach + px(105));
    m_txtCode->move(left, m_txtCode->y());
    m_txtDesc->setGeometry(left, m_txtDesc->y(), px(1800 + 5350) - left, m_txtDesc->height());
    // The code column shows its whole heading.
    m_ctlListView->setColumnWidth(
        0, std::max(m_ctlListView->columnWidth(0), m_ctlListView->header()->sectionSizeHint(0)));
}

bool frmLookup::OpenRecordset() {
    m_lookup.Close();
    if (m_lookup.OpenRecordset())
        return true;
    QSignalBlocker quiet(m_ctlListView);
    m_ctlListView->clear();
    return false;
}

void frmLookup::FillListView() {
    QSignalBlocker quiet(m_ctlListView);
    m_ctlListView->clear();
    const int columns = m_ctlListView->columnCount();
    for (const LookupList::Row& row : m_lookup.Rows()) {
        auto* item = new QTreeWidgetItem(m_ctlListView);
        item->setText(0, row.code);
        item->setData(0, Qt::UserRole, row.key);
        // Columns beyond the captions have nowhere to go.
        for (int i = 0; i < row.subItems.size() && i + 1 < columns; ++i)
            item->setText(i + 1, row.subItems[i]);
    }
}

void frmLookup::SetEntryFieldLimits() {
    m_txtCode->setValidator(nullptr);
    // Characters as the databases count them, a pair of units being one, so a column holds what its
    // width says whatever the characters are.
    m_txtCode->SetMaxCharacters(m_lookup.DefinedSize(0) > 0 ? m_lookup.DefinedSize(0) : -1);
    if (m_lookup.CodeIsInteger())
        SetNumericOnly(m_txtCode);
    m_txtDesc->SetMaxCharacters(
        m_lookup.FieldCount() >= 2 && m_lookup.DefinedSize(1) > 0 ? m_lookup.DefinedSize(1) : -1);
    if (m_lookup.LevelCodeLimit())
        m_txtCode->SetMaxCharacters(4);
}

QTreeWidgetItem* frmLookup::SelectListItem(QTreeWidget* list, const QString& code) {
    if (!list)
        return nullptr;
    QStringList codes;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        codes.push_back(list->topLevelItem(i)->text(0));
    const int found = LookupList::FindCode(codes, MatchDBCase(code.trimmed()));
    if (found < 0)
        return nullptr;
    QTreeWidgetItem* item = list->topLevelItem(found);
    {
        QSignalBlocker quiet(list);
        list->setCurrentItem(item);
        item->setSelected(true);
    }
    list->scrollToItem(item);
    ctlListView_ItemClick();
    return item;
}

bool frmLookup::CodeExistsInList(QTreeWidget* list, const QString& code) const {
    QStringList codes;
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        codes.push_back(list->topLevelItem(i)->text(0));
    return LookupList::CodeExistsIn(codes, code);
}

const LookupList::Row* frmLookup::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_ctlListView->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const int index = m_ctlListView->indexOfTopLevelItem(selected.first());
    if (index < 0 || index >= m_lookup.Rows().size())
        return nullptr;
    return &m_lookup.Rows()[index];
}

void frmLookup::ctlListView_ItemClick() {
    const QList<QTreeWidgetItem*> selected = m_ctlListView->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    m_entryTyped = false;
    m_txtCode->setText(item->text(0));
    m_txtCode->setReadOnly(true);
    if (m_colColumnNames.size() > 1)
        m_txtDesc->setText(item->text(1).trimmed());
    mb_Modify = true;
    m_cmdAdd->setText("Accept");
    if (m_Lookuplevel || m_lookup.PickOnly())
        m_cmdAdd->setEnabled(false);
}

void frmLookup::ctlListView_DblClick() {
    cmdOK_Click();
}

void frmLookup::cmdOK_Click() {
    ensureLoaded();
    const QList<QTreeWidgetItem*> selected = m_ctlListView->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    m_colSelection.push_back(item->text(0).trimmed());
    for (int i = 1; i < m_colColumnNames.size(); ++i)
        m_colSelection.push_back(item->text(i).trimmed());
    m_OK = true;
    done(Accepted);
}

void frmLookup::cmdClose_Click() {
    for (qsizetype i = 0; i < m_colColumnNames.size(); ++i)
        m_colSelection.push_back(QString());
    m_OK = false;
    done(Rejected);
}

void frmLookup::cmdClear_Click() {
    ensureLoaded();
    if (m_cmdClear->isEnabled())
        clearEntry();
}

void frmLookup::clearEntry() {
    m_entryTyped = false;
    m_txtCode->clear();
    m_txtCode->setReadOnly(false);
    m_txtCode->setEnabled(true);
    if (m_txtCode->isVisible())
        m_txtCode->setFocus();
    m_txtDesc->clear();
    m_txtDesc->setReadOnly(false);
    m_cmdAdd->setEnabled(m_lookup.AddAllowed());
    m_cmdAdd->setText("Add");
    mb_Modify = false;
    // Add mode has no picked row, so Delete and OK cannot act on a row the boxes no longer show.
    {
        QSignalBlocker quiet(m_ctlListView);
        m_ctlListView->clearSelection();
    }
    if (m_Lookuplevel)
        ResetCodeInputMask();
}

void frmLookup::ResetCodeInputMask() {
    auto* mask = qobject_cast<const LookupCodeValidator*>(m_txtCode->validator());
    if (!mask)
        m_txtCode->setValidator(new LookupCodeValidator("L", m_txtCode));
    m_txtCode->setText("L");
    m_txtCode->setCursorPosition(1);
}

void frmLookup::refuse(QLineEdit* box, const QString& message) {
    MsgBox(message, vbExclamation, "Error");
    box->setEnabled(true);
    if (box->isVisible())
        box->setFocus();
}

bool frmLookup::ValidateEntry() {
    const QString code = m_txtCode->text();
    if (code.trimmed().isEmpty()) {
        refuse(m_txtCode, "Code cannot be blank");
        return false;
    }
    if (!IsValidCode(code)) {
        refuse(m_txtCode, "Code contains invalid characters!");
        return false;
    }
    bool numeric = true;
    if (m_lookup.CodeIsInteger())
        code.trimmed().toDouble(&numeric);
    if (!numeric) {
        refuse(m_txtCode, "Invalid Code, value must be numeric!");
        return false;
    }
    if (m_lookup.FieldCount() >= 2 && m_txtDesc->text().trimmed().isEmpty()) {
        refuse(m_txtDesc, "Description cannot be blank");
        return false;
    }
    return true;
}

void frmLookup::refreshList(const QString& select) {
    OpenRecordset();
    FillListView();
    if (!select.isEmpty())
        SelectListItem(m_ctlListView, select);
}

void frmLookup::cmdAdd_Click() {
    ensureLoaded();
    if (!m_cmdAdd->isEnabled())
        return;
    MousePointer hourglass;
    if (!ValidateEntry())
        return;
    const QString code = m_txtCode->text().trimmed();

    // What the dialog says of a failed save goes through the handlers' channel, so that after a lost
    // connection the user reads the loss alone, as in the editors.
    if (mb_Modify) {
        const LookupList::Row* row = selectedRow();
        if (row && m_lookup.ModifyItem(*row, m_txtDesc->text()))
            refreshList(code);
        else
            ErrorHandler::Tell("Item cannot be modified ", vbCritical, "Update Cancelled");
        return;
    }

    // The list may be stale; the add itself checks the table again under its lock.
    const LookupList::Addition added = CodeExistsInList(m_ctlListView, code) ? LookupList::Addition::Present
                                       : m_colHideFieldNames.isEmpty()
                                           ? m_lookup.AddListedRow(code, m_txtDesc->text().trimmed())
                                           : m_lookup.InsertItem(m_txtCode->text(), m_txtDesc->text());
    switch (added) {
    case LookupList::Addition::Added:
        break;
    case LookupList::Addition::Present:
        MsgBox("Code is already exists", vbExclamation, "Save Cancelled");
        m_txtCode->setEnabled(true);
        if (m_txtCode->isVisible())
            m_txtCode->setFocus();
        return;
    case LookupList::Addition::Unchecked:
        return;
    case LookupList::Addition::Failed:
        if (!m_colHideFieldNames.isEmpty())
            ErrorHandler::Tell("Item cannot be added to the list", vbCritical, "Insert Cancelled");
        return;
    }
    if (!m_colHideFieldNames.isEmpty() && m_Lookuplevel)
        m_cmdAdd->setEnabled(false);
    refreshList(code);
}

void frmLookup::cmdDelete_Click() {
    ensureLoaded();
    if (!m_cmdDelete->isEnabled())
        return;
    MousePointer hourglass(MousePointer::ArrowHourglass);
    const LookupList::Row* selected = selectedRow();
    if (!selected)
        return;
    // The list is read again below; keep the row as it was picked.
    const LookupList::Row row = *selected;
    const QString caption = m_colColumnNames.value(0);
    const auto dependent = [&] {
        MsgBox(caption + " " + row.code + " has Dependency and cannot be deleted!", vbExclamation);
    };

    // Asked before the question, so a code in use is refused at once; the delete asks again under its lock.
    switch (m_lookup.CheckDependencies(row.code)) {
    case LookupList::Dependency::Failed:
        return;
    case LookupList::Dependency::Found:
        dependent();
        return;
    case LookupList::Dependency::None:
        break;
    }

    const int answer = MsgBox("Delete Selected " + caption + "?", vbYesNo + vbExclamation, "Delete");
    gMsgResponse = QString::number(answer);
    if (answer == vbYes) {
        switch (m_lookup.DeleteItem(row)) {
        case LookupList::Deletion::Failed:
            return;
        case LookupList::Deletion::Dependent:
            dependent();
            return;
        case LookupList::Deletion::NothingDeleted:
            MsgBox(caption + " " + row.code + " no longer exists, so nothing was deleted.", vbExclamation,
                   "Delete");
            break;
        case LookupList::Deletion::Deleted:
            break;
        }
        refreshList(QString());
        if (m_lookup.Rows().isEmpty())
            clearEntry();
        else
            SelectListItem(m_ctlListView, m_lookup.Rows().front().code);
    }
    if (m_txtCode->isEnabled() && m_txtCode->isVisible())
        m_txtCode->setFocus();
}
