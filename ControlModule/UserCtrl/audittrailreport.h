#pragma once
// The audit-trail report: an A4 PDF of audit rows under a page header (logo, title, applicant,
// export time, page number), a summary line on the first page and a table of id, module,
// content, handler and time.

#include <QString>
#include <QVariantList>

class QFontMetrics;

class AuditTrailReport {
public:
    // rows: maps with "m_id", "module", "content", "handler", "operatingTime" (missing keys print
    // empty). fileName: a "file:" URL or a local path. The file is written beside its final name
    // and renamed into place, so a failed export leaves any older file as it was. Returns false
    // when the file cannot be written; pages (when given) receives the page count.
    static bool write(const QString& fileName, const QVariantList& rows, const QString& infoStr,
                      const QString& applicant, int* pages = nullptr);

    // The local path of a file URL; any other text is taken as a path already.
    static QString localPath(const QString& fileName);
    // text shortened with an ellipsis to fit maxWidth in metrics.
    static QString elided(const QString& text, const QFontMetrics& metrics, int maxWidth);
};
