#pragma once

#include <QAtomicPointer>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QString>
#include <QVariant>

#include "apppaths.h"

// Conversions and writes shared by the option stores. A settings file may hold anything
// (hand-edited, truncated, another version's values): every conversion has a defined result.
namespace OptionsIo {

// The stored value as text. An unquoted value with commas comes back from the INI reader as
// a list; it is joined again so that "200,50,15" reads the same quoted or not.
QString text(const QVariant& stored);

// Member conversions: a missing value or one that is no number gives false, 0, 0.0 or "".
void assign(bool& member, const QVariant& stored);
void assign(int& member, const QVariant& stored);
void assign(double& member, const QVariant& stored);
void assign(QString& member, const QVariant& stored);

// Writes pending changes to disk (the toolkit writes a temporary file and renames it into
// place); logs and returns false when the file could not be written.
bool sync(QSettings& settings);

// The process-wide store on its file below the application directory, created on first use
// under the store's own mutex.
template <class Store>
Store* processStore(const char* relativeIniPath)
{
    static QAtomicPointer<Store> instance;
    static QMutex mutex;
    Store* current = instance.loadAcquire();
    if (!current) {
        QMutexLocker locker(&mutex);
        current = instance.loadAcquire();
        if (!current) {
            current = new Store(AppPaths::path(QString::fromLatin1(relativeIniPath)));
            instance.storeRelease(current);
        }
    }
    return current;
}

} // namespace OptionsIo
