#pragma once
// The picture files of the image operations. Every OpenCV call on a file or on a picture that
// came from a file or the operator is guarded: a bad file, an empty picture or a failed write is
// refused with a log line, never an exception.

#include <QSize>
#include <QString>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

// A local path from what QML hands over: "file:" URLs through QUrl::toLocalFile, paths as given.
QString localPath(const QString& pathOrUrl);

// The picture size its file's header claims, read without decoding; invalid for what is not a
// regular file or not a picture.
QSize pictureFileSize(const QString& path);

// The picture in the file (OpenCV read flags); empty, with a log line, when it cannot be read or
// its header claims more than the largest picture the program makes (picturelimits.h).
cv::Mat readPicture(const QString& path, int flags = cv::IMREAD_UNCHANGED);

// TIFF (inch, dpi in both directions, no compression), written under a temporary name in the
// target's folder and renamed into place. False, logged, for an empty picture or a failed write.
bool writeTiffAt(const QString& path, const cv::Mat& image, int dpi = 600);

// 8-bit grey, 8-bit BGR or 8-bit BGRA picture as "BMP", "JPG" or "PNG" (quality 100), written
// the same way. False, logged, for other pictures or a failed write.
bool writePictureAs(const QString& path, const cv::Mat& image, const char* format);

// The path of a picture derived from source: the source's folder, then time, suffix and the
// source's last suffix ("<folder>/<time><suffix>.tif"). Folders may contain dots.
QString derivedPath(const QString& sourcePath, const QString& time, const QString& suffix);

// The user's copy folder of an experiment: <imageSavePath>/<date>/<name>/ (experimentFolder).
// Empty without an imageSavePath, or for a date or name no experiment folder has.
QString mirrorFolder(const QString& imageSavePath, const QString& date, const QString& name);
// The same for a picture that lies in an experiment folder <...>/<yyyy-MM-dd>/<name>/; empty
// when its folders are not laid out that way.
QString mirrorFolderOf(const QString& picturePath, const QString& imageSavePath);

// Writes image as TIFF into folder (created when missing) under fileName and returns that path;
// "" when that write fails. Then copies the file into mirror (created when missing) under
// mirrorName; a failed copy is logged and leaves the first file in place. An empty mirror
// skips the copy.
QString saveTwoCopies(const cv::Mat& image, const QString& folder, const QString& fileName, const QString& mirror,
                      const QString& mirrorName);
