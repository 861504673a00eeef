#pragma once

#include <QObject>
#include <QString>

// What the folder and file choosers must know of the local disk before they hand a path on, and
// how the library pages read an experiment folder (<root>/<day>/<name>/, experimentfolder.h).
// Seen by QML as the singleton LocalFolders (an.qt.LocalFolders).
class LocalFolders : public QObject {
    Q_OBJECT
public:
    explicit LocalFolders(QObject* parent = nullptr);

    // A path or a file URL naming an existing folder.
    Q_INVOKABLE bool isFolder(const QString& pathOrUrl) const;
    // A path or a file URL naming an existing file or folder.
    Q_INVOKABLE bool exists(const QString& pathOrUrl) const;
    // The absolute, cleaned form of a path or URL ("" for an empty text); a relative text is
    // taken from base.
    Q_INVOKABLE QString resolved(const QString& pathOrUrl, const QString& base = QString()) const;
    // The desktop folder of the user, where the default folders live.
    Q_INVOKABLE QString desktop() const;

    // The experiment a path or file URL lies in: its folder "<root>/<day>/<name>/" or a file
    // in it. "" when the path is not inside an experiment folder.
    Q_INVOKABLE QString experimentNameOf(const QString& pathOrUrl) const;
    // The experiment folder of pathOrUrl under newName, beside the old one (a local path); ""
    // when pathOrUrl is no experiment folder or newName is not one folder name.
    Q_INVOKABLE QString renamedExperimentFolder(const QString& pathOrUrl, const QString& newName) const;
};
