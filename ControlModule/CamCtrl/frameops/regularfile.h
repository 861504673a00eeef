#pragma once
// Opening files that came from outside: a FIFO in a file's place would block the open (and the
// thread with it), a device would feed the reader without end.

#include <QFile>
#include <QString>

// Opens path for reading only when it is a regular file; false (logged for what is not a
// regular file) otherwise.
bool openRegularFile(QFile& file, const QString& path);
