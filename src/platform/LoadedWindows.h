#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

// The program's loaded windows in the order they were loaded: the main window first, then dialogs and
// editors as they come. Windows register when they load and drop out when they are unloaded or destroyed.
class LoadedWindows {
public:
    static LoadedWindows& instance();

    void Register(QWidget* window);
    QList<QWidget*> Forms() const;
    int Count() const { return static_cast<int>(Forms().size()); }
    bool IsLoaded(const QWidget* window) const;

    // The window's class name, as FindFormCaption compares it ("frmRangeMaintenance").
    static QString Name(const QWidget* window);

    // Closes the window (its close handling may refuse) and, when it closed, removes it from the list and
    // destroys it; an editor's sub-window frame goes with it. Answers whether it was unloaded.
    bool Unload(QWidget* window);
    // Drops a window that has closed itself from the list, leaving the object to its owner (a modal
    // dialog whose caller still reads its results).
    void Forget(QWidget* window);

private:
    mutable QList<QPointer<QWidget>> m_windows;
};
