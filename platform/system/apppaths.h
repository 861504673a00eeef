#pragma once

#include <QString>

// The application directory: logs, Ini/, Databases/, Images/, CorrectionData/, machine.ini.
class AppPaths {
public:
    // The executable's directory, or TAVRILL_APP_DIR when that is set (tests give each run its own).
    static QString appDir();
    // appDir() + "/" + relative
    static QString path(const QString& relative);
};
