#pragma once
// Why files cannot be written into a folder, told to the operator in Chinese and English with
// the folder's path.

#include <QString>
#include <QtGlobal>

enum class FolderFault {
    None,     // nothing found wrong
    Missing,  // the folder does not exist (or a file has its name)
    ReadOnly, // no write permission, or a read-only file system
    Full,     // less room than needed
};

// needBytes: what the write wanted; a disk with less room counts as full.
FolderFault folderFault(const QString& folder, qint64 needBytes = 0);

// "<Chinese>: <folder> / <English>: <folder>"; for None, a write failure without a known cause.
QString folderFaultText(const QString& folder, FolderFault fault);
