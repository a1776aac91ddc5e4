#include "platform/App.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString& pathOverride() {
    static QString path;
    return path;
}

std::function<QDateTime()>& clockOverride() {
    static std::function<QDateTime()> c;
    return c;
}

} // namespace

QString App::Title() {
    return QStringLiteral("Marvane Vuldra Configurator");
}

int App::Major() {
    return 2;
}

int App::Minor() {
    return 5;
}

int App::Revision() {
    return 7;
}

QString App::VersionText() {
    return QStringLiteral("%1.%2.%3").arg(Major()).arg(Minor()).arg(Revision());
}

QString App::Path() {
    if (!pathOverride().isEmpty())
        return pathOverride();
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

void App::SetPath(const QString& folder) {
    pathOverride() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QDateTime App::Now() {
    if (clockOverride())
        return clockOverride()();
    return QDateTime::currentDateTime();
}

void App::SetClock(std::function<QDateTime()> c) {
    clockOverride() = std::move(c);
}

void App::ResetClock() {
    clockOverride() = nullptr;
}
