#pragma once
// Where an experiment's pictures lie: <root>/<yyyy-MM-dd>/<name>/, the root being the program's
// <appDir>/Images or the operator's image folder (which mirrors it). Stored rows name the
// folder as experimentFolder() builds it, so the text must not change.

#include <QDate>
#include <QString>

// The program's own root of experiment folders: <appDir>/Images.
QString imagesRoot(const QString& appDir);

// The name of the day's folder ("yyyy-MM-dd"), and the day a folder name stands for (invalid
// for any other name).
QString dayFolderName(const QDate& day);
QDate dayOfFolder(const QString& folderName);

// "<root>/<yyyy-MM-dd>/<name>/". The root may end in "/" or be given as a file: URL; "." and
// ".." in it are resolved, the name is kept as it is. Empty for an empty root, an invalid day,
// or a name that is not one folder ("", ".", "..", or holding "/").
QString experimentFolder(const QString& root, const QDate& day, const QString& name);

// A path inside an experiment folder, read by its text only (nothing need exist):
// <root>/<day>/<name>/<rest>, rest being a file name or "" for the folder itself.
struct ExperimentPath {
    QString root; // without the "/" before the day; "/" for the file-system root
    QDate day;
    QString name;
    QString rest;
    bool isValid() const { return day.isValid(); }
};
// Invalid unless the second-last folder names a day and the last is a folder name.
ExperimentPath parseExperimentPath(const QString& path);
