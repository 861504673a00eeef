#include "libraryfiles.h"

#include <QDir>

QStringList tifFileNames(const QString& dir)
{
    QDir folder(dir);
    QStringList names;
    if (!dir.isEmpty() && folder.exists())
        names = folder.entryList(QStringList{QStringLiteral("*.tif")}, QDir::Files,
                                 QDir::Name | QDir::IgnoreCase);
    if (names.isEmpty())
        names.append(QString());
    return names;
}
