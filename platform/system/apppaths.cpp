#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>

QString AppPaths::appDir()
{
    const QString overridden = qEnvironmentVariable("TAVRILL_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(QDir(overridden).absolutePath());
    return QCoreApplication::applicationDirPath();
}

QString AppPaths::path(const QString& relative)
{
    return appDir() + QLatin1Char('/') + relative;
}
