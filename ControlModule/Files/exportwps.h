#pragma once

#include "docxdocument.h"

#include <QObject>
#include <QString>

// The report document of one export: the template <appDir>/document/export.dotx with its
// bookmarks filled and the picture embedded, saved as a .docx document. Lives for one report.
class ExportWps : public QObject {
    Q_OBJECT
public:
    explicit ExportWps(QObject* parent = nullptr);

    static QString templatePath();
    // False (logged) when the template is missing or unreadable.
    bool openTemplate();
    // A missing bookmark is logged ("no mark " and its name) and skipped.
    void setBookmarkText(const QString& name, const QString& text);
    // The picture file (any format OpenCV reads) embedded as PNG at the bookmark.
    void insertPicture(const QString& name, const QString& path);
    // Writes the document to path (a file URL or a path) and closes it; false when it could not
    // be written.
    bool saveAndClose(const QString& path);

    // The document's file name: the chosen one, with ".docx" added unless it has it already
    // (the content is always a .docx package).
    static QString documentPath(const QString& chosen);

private:
    DocxDocument m_document;
};
