#pragma once
// Whole-file writes that readers never see half done: the bytes go to a temporary file in the
// target's folder, which is then renamed over the target.

#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

// A piece of a file's bytes that lies in memory somewhere else.
struct ByteSpan {
    const void* data;
    size_t size;
};

// Logs and returns false when any step fails; no temporary file is left behind.
bool writeFileAtomically(const QString& path, const char* data, qint64 size);
// The same for a file made of several pieces, written in order without joining them first.
bool writeFileAtomically(const QString& path, const std::vector<ByteSpan>& parts);
// The same for a writer that fills the temporary file by its name (which keeps the target's
// suffix); the writer logs its own failures.
bool writeFileAtomically(const QString& path, const std::function<bool(const QString& temp)>& write);
// Copies source to path the same way.
bool copyFileAtomically(const QString& source, const QString& path);
