#pragma once
// Whole-file writes that readers never see half done: the bytes go to a temporary file in the
// target's folder, which is then renamed over the target.

#include <QString>

// Logs and returns false when any step fails; no temporary file is left behind.
bool writeFileAtomically(const QString& path, const char* data, qint64 size);
