#pragma once
// What the image library reads of the folders: the TIFF files of an experiment folder.

#include <QString>
#include <QStringList>

// The names of the files (not folders) matching "*.tif" in dir, sorted by name ignoring case;
// a missing folder or one without such files gives one empty name, so that the page still
// shows the experiment.
QStringList tifFileNames(const QString& dir);
