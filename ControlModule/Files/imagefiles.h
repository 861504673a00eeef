#pragma once
// What deletion, renaming and clean-up need of the image folders: which paths may be touched,
// where a picture's mirror lies in the user's image folder, and the per-image "," lists of an
// experiment row.

#include <QString>
#include <QStringList>

namespace imagefiles {

// The folders below which pictures may be deleted or renamed: <appDir>/Images and, when set,
// the user's image folder (option imageSavePath).
QStringList imageRoots(const QString& appDir, const QString& userImageFolder);

// True for an existing regular ".tif" file (not a link) whose canonical path lies strictly below
// one of roots. Anything else (a folder, another kind of file, a path leaving the roots through
// "..") is refused, so a list handed over by a page can never remove other files.
bool isLibraryImage(const QString& path, const QStringList& roots);

// True for an existing folder (not a link) whose canonical path lies strictly below one of roots.
bool isLibraryFolder(const QString& path, const QStringList& roots);

// The same picture ("<root>/<date>/<experiment>/<file>") or experiment folder (ending in "/")
// below the user's image folder; empty when that folder is not set or path lies in no
// experiment folder (parseExperimentPath).
QString mirrorOf(const QString& userImageFolder, const QString& path);

// Removes entry k from a "," list as the store writes it (every entry followed by ","); the list
// comes back unchanged when k is negative or beyond its entries.
QString removeEntry(const QString& list, int k);

// The companions a capture leaves beside a Western-blot picture "<base>.tif": "<base>_OE.tif"
// (its over-exposure marks) and "<base>.data" (its raw frame); given either picture name, the
// plain name, the marked name and the data name.
struct FrameFiles {
    QString plain;
    QString marked;
    QString data;
};
FrameFiles frameFilesOf(const QString& fileName);

// QFile::remove with the log line of a failure (path + " remove failed.").
bool removeLogged(const QString& path);

} // namespace imagefiles
