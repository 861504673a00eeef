#pragma once

#include "docxdocument.h"

#include <QObject>
#include <QString>

// The report document of one export: the template document/export.dotx beside the program with
// its bookmarks filled and the picture embedded, saved as a .docx document. Lives for one report.
class ExportWps : public QObject {
    Q_OBJECT
public:
    explicit ExportWps(QObject* parent = nullptr);

    // Beside the executable, whatever the application folder is.
    static QString templatePath();
    // False (logged, the reason in errorText) when the template is missing or unreadable.
    bool openTemplate(const QString& templateFile = templatePath());
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

    // What went wrong last, in the operator's words ("" when nothing did).
    QString errorText() const { return m_error; }

private:
    DocxDocument m_document;
    QString m_error;
};
