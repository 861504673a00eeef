#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString AppPaths::appDir()
{
    const QString overridden = qEnvironmentVariable("TAVRILL_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(QDir(overridden).absolutePath());
    // Before the application object exists the toolkit would warn, and a warning logged from
    // inside the log handler would come straight back to it; ask the kernel instead.
    if (!QCoreApplication::instance())
        return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString AppPaths::path(const QString& relative)
{
    return appDir() + QLatin1Char('/') + relative;
}
