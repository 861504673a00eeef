#pragma once

#include <QString>

// A process-wide named token: the first process to take a name holds it until it exits; the
// kernel releases it then, also after a crash.
//
// The token is an exclusive flock on the file <name> in $XDG_RUNTIME_DIR (the temporary folder
// when that is unset). The descriptor is close-on-exec, so programs started by the holder do not
// keep the token after it exits.
class SingleInstance {
public:
    // False when a holder (another process, or an earlier call in this one) has the token; true
    // when this call took it, or when no lock file can be opened at all.
    static bool acquire(const QString& name);
    // The lock file used for name.
    static QString lockFilePath(const QString& name);
};
