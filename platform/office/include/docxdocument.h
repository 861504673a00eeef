#pragma once
// A word-processing document built from a template package (.dotx or .docx): text into named
// bookmarks, PNG pictures at bookmarks, saved as a .docx package. Everything is held in memory
// between open() and saveAs(); nothing is written until saveAs().

#include <QByteArray>
#include <QMap>
#include <QString>

class DocxDocument {
public:
    DocxDocument();
    ~DocxDocument();
    DocxDocument(const DocxDocument&) = delete;
    DocxDocument& operator=(const DocxDocument&) = delete;

    // Reads the package. False (and errorString() says why) when the file is missing, not a zip
    // package or has no readable main document part.
    bool open(const QString& path);
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }

    bool hasBookmark(const QString& name) const;
    // Replaces what the bookmark holds by text (line breaks kept). False when there is no such
    // bookmark.
    bool setBookmarkText(const QString& name, const QString& text);
    // Puts the picture (PNG bytes of width x height pixels) at the bookmark, scaled to fit
    // maxWidthInch x maxHeightInch with its proportions kept. False when there is no such
    // bookmark or the picture is empty.
    bool insertPicture(const QString& name, const QByteArray& png, int width, int height,
                       double maxWidthInch = 6.0, double maxHeightInch = 7.5);
    // Writes the package as a document (a template's content type becomes a document's) to a
    // temporary file beside path and renames it into place. False when it cannot be written.
    bool saveAs(const QString& path);
    void close();

    // The parts of the package as read or changed (tests).
    QMap<QString, QByteArray> parts() const { return m_parts; }

private:
    struct Xml;
    bool loadMain();
    void storeMain();

    QMap<QString, QByteArray> m_parts;
    QString m_mainPart;
    Xml* m_xml = nullptr;
    bool m_open = false;
    int m_pictures = 0;
    QString m_error;
};
