#include "imagefiles.h"

#include "experimentfolder.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace imagefiles {

QStringList imageRoots(const QString& appDir, const QString& userImageFolder)
{
    QStringList roots{imagesRoot(appDir)};
    if (!userImageFolder.trimmed().isEmpty())
        roots << userImageFolder;
    return roots;
}

namespace {

bool canonicallyBelow(const QFileInfo& info, const QStringList& roots)
{
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    for (const QString& root : roots) {
        const QString base = QFileInfo(root).canonicalFilePath();
        if (!base.isEmpty() && canonical.startsWith(base + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

bool isLibraryFolder(const QString& path, const QStringList& roots)
{
    const QFileInfo info(QDir::cleanPath(path));
    return !path.isEmpty() && !info.isSymLink() && info.isDir() && canonicallyBelow(info, roots);
}

bool isLibraryImage(const QString& path, const QStringList& roots)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.isSymLink() || !info.isFile()
        || info.suffix().compare(QLatin1String("tif"), Qt::CaseInsensitive) != 0)
        return false;
    return canonicallyBelow(info, roots);
}

QString mirrorOf(const QString& userImageFolder, const QString& path)
{
    if (userImageFolder.trimmed().isEmpty())
        return QString();
    const ExperimentPath experiment = parseExperimentPath(path);
    const QString folder =
        experiment.isValid() ? experimentFolder(userImageFolder, experiment.day, experiment.name) : QString();
    return folder.isEmpty() ? QString() : folder + experiment.rest;
}

QString removeEntry(const QString& list, int k)
{
    QStringList entries = list.split(QLatin1Char(','), Qt::KeepEmptyParts);
    // The trailing "," leaves one empty part that is no entry.
    const int count = list.endsWith(QLatin1Char(',')) ? entries.size() - 1 : entries.size();
    if (k < 0 || k >= count)
        return list;
    entries.removeAt(k);
    return entries.join(QLatin1Char(','));
}

FrameFiles frameFilesOf(const QString& fileName)
{
    FrameFiles files;
    QString base = fileName;
    if (base.endsWith(QLatin1String(".tif")))
        base.chop(4);
    if (base.endsWith(QLatin1String("_OE")))
        base.chop(3);
    files.plain = base + QStringLiteral(".tif");
    files.marked = base + QStringLiteral("_OE.tif");
    files.data = base + QStringLiteral(".data");
    return files;
}

bool removeLogged(const QString& path)
{
    if (QFile::remove(path))
        return true;
    qDebug().noquote() << path + QStringLiteral(" remove failed.");
    return false;
}

} // namespace imagefiles
