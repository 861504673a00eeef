#include "localfolders.h"

#include "experimentfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString plainPath(const QString& pathOrUrl)
{
    const QString text = pathOrUrl.trimmed();
    if (text.startsWith(QLatin1String("file:")))
        return QUrl(text).toLocalFile();
    return text;
}

} // namespace

LocalFolders::LocalFolders(QObject* parent)
    : QObject(parent)
{
}

bool LocalFolders::isFolder(const QString& pathOrUrl) const
{
    const QString path = plainPath(pathOrUrl);
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool LocalFolders::exists(const QString& pathOrUrl) const
{
    const QString path = plainPath(pathOrUrl);
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString LocalFolders::resolved(const QString& pathOrUrl, const QString& base) const
{
    QString path = plainPath(pathOrUrl);
    if (path.isEmpty())
        return QString();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    if (QDir::isRelativePath(path) && !base.isEmpty())
        path = plainPath(base) + QLatin1Char('/') + path;
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString LocalFolders::desktop() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString LocalFolders::experimentNameOf(const QString& pathOrUrl) const
{
    return parseExperimentPath(plainPath(pathOrUrl)).name;
}

QString LocalFolders::renamedExperimentFolder(const QString& pathOrUrl, const QString& newName) const
{
    const ExperimentPath experiment = parseExperimentPath(plainPath(pathOrUrl));
    if (!experiment.isValid() || !experiment.rest.isEmpty())
        return QString();
    return experimentFolder(experiment.root, experiment.day, newName);
}
