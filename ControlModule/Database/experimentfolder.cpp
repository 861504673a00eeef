#include "experimentfolder.h"

#include <QDir>
#include <QUrl>

namespace {

constexpr QLatin1String kDayFormat("yyyy-MM-dd");

bool isFolderName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/'));
}

} // namespace

QString imagesRoot(const QString& appDir)
{
    return appDir + QStringLiteral("/Images");
}

QString dayFolderName(const QDate& day)
{
    return day.toString(kDayFormat);
}

QDate dayOfFolder(const QString& folderName)
{
    return QDate::fromString(folderName, kDayFormat);
}

QString experimentFolder(const QString& root, const QDate& day, const QString& name)
{
    const QString local =
        root.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ? QUrl(root).toLocalFile() : root;
    if (local.isEmpty() || !day.isValid() || !isFolderName(name))
        return QString();
    QString folder = QDir::cleanPath(local);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + dayFolderName(day) + QLatin1Char('/') + name + QLatin1Char('/');
}

ExperimentPath parseExperimentPath(const QString& path)
{
    const int restSlash = path.lastIndexOf(QLatin1Char('/'));
    const int nameSlash = restSlash > 0 ? path.lastIndexOf(QLatin1Char('/'), restSlash - 1) : -1;
    const int daySlash = nameSlash > 0 ? path.lastIndexOf(QLatin1Char('/'), nameSlash - 1) : -1;
    if (daySlash < 0)
        return ExperimentPath();
    ExperimentPath parts;
    parts.name = path.mid(nameSlash + 1, restSlash - nameSlash - 1);
    parts.day = dayOfFolder(path.mid(daySlash + 1, nameSlash - daySlash - 1));
    if (!parts.day.isValid() || !isFolderName(parts.name))
        return ExperimentPath();
    parts.root = daySlash == 0 ? QStringLiteral("/") : path.left(daySlash);
    parts.rest = path.mid(restSlash + 1);
    return parts;
}
