#include "platform/LoadedWindows.h"

#include <QMdiSubWindow>

LoadedWindows& LoadedWindows::instance() {
    static LoadedWindows windows;
    return windows;
}

void LoadedWindows::Register(QWidget* window) {
    if (!window || IsLoaded(window))
        return;
    m_windows.push_back(window);
}

QList<QWidget*> LoadedWindows::Forms() const {
    m_windows.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
    QList<QWidget*> list;
    list.reserve(m_windows.size());
    for (const QPointer<QWidget>& w : m_windows)
        list.push_back(w.data());
    return list;
}

bool LoadedWindows::IsLoaded(const QWidget* window) const {
    for (const QPointer<QWidget>& w : m_windows)
        if (w.data() == window)
            return true;
    return false;
}

QString LoadedWindows::Name(const QWidget* window) {
    return window ? QString::fromLatin1(window->metaObject()->className()) : QString();
}

void LoadedWindows::Forget(QWidget* window) {
    m_windows.removeIf([window](const QPointer<QWidget>& w) { return w.data() == window; });
}

bool LoadedWindows::Unload(QWidget* window) {
    if (!window)
        return false;
    QPointer<QWidget> guard(window);
    if (!window->close())
        return false;
    if (guard.isNull())
        return true;
    m_windows.removeIf([window](const QPointer<QWidget>& w) { return w.data() == window; });
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        frame->hide();
        frame->deleteLater();
    } else {
        window->hide();
        window->deleteLater();
    }
    return true;
}
