// The audit-trail report read back as a reader of the PDF sees it: pdfinfo for the page count,
// pdftotext for the text.
#include "audittrailreport.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfText(const QString& path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

QVariantList rows(int count)
{
    QVariantList list;
    for (int i = 0; i < count; ++i) {
        list << QVariantMap{{QStringLiteral("m_id"), i + 1},
                            {QStringLiteral("module"), i % 2 ? QStringLiteral("System") : QStringLiteral("系统")},
                            {QStringLiteral("content"), i == 0 ? QStringLiteral("审计追踪导出: first row") : QStringLiteral("row %1").arg(i + 1)},
                            {QStringLiteral("handler"), QStringLiteral("admin")},
                            {QStringLiteral("operatingTime"), QStringLiteral("2026-03-04 05:06:07")}};
    }
    return list;
}

} // namespace

class AuditTrailReportTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Rows go on until the next baseline would pass the content height: 37 rows fit below the
    // summary and headings of the first page, 39 on each later page.
    void pagesFollowTheRowCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::newRow("no rows") << 0 << 1;
        QTest::newRow("first page full") << 37 << 1;
        QTest::newRow("one more") << 38 << 2;
        QTest::newRow("second page full") << 76 << 2;
        QTest::newRow("third page") << 77 << 3;
    }
    void pagesFollowTheRowCount()
    {
        QFETCH(int, count);
        QFETCH(int, pages);
        const QString path = dir.filePath(QStringLiteral("rows%1.pdf").arg(count));
        int written = 0;
        QVERIFY(AuditTrailReport::write(path, rows(count), QStringLiteral("  Find total 1 pieces of data."),
                                        QStringLiteral("tester"), &written));
        QCOMPARE(written, pages);
        QCOMPARE(pdfPages(path), pages);
    }

    void headerSummaryAndFirstRowRead()
    {
        const QString path = dir.filePath(QStringLiteral("text.pdf"));
        QVERIFY(AuditTrailReport::write(path, rows(80), QStringLiteral("  Find handler is admin , total 80 pieces of data."),
                                        QStringLiteral("tester"), nullptr));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Audit Trail Records")), qPrintable(text.left(400)));
        QVERIFY(text.contains(QStringLiteral("Applicant: tester")));
        QVERIFY(text.contains(QStringLiteral("total 80 pieces of data.")));
        QVERIFY(text.contains(QStringLiteral("Page1")) && text.contains(QStringLiteral("Page3")));
        // The first row, Chinese included, comes right after the headings.
        const QStringList lines = text.split(QLatin1Char('\n'));
        int headings = -1;
        for (int i = 0; i < lines.size() && headings < 0; ++i)
            if (lines[i].contains(QStringLiteral("operateTime")))
                headings = i;
        QVERIFY(headings >= 0);
        QString firstRow;
        for (int i = headings + 1; i < lines.size() && firstRow.isEmpty(); ++i)
            firstRow = lines[i].trimmed();
        QVERIFY2(firstRow.startsWith(QStringLiteral("1")) && firstRow.contains(QStringLiteral("系统"))
                     && firstRow.contains(QStringLiteral("审计追踪导出")) && firstRow.contains(QStringLiteral("2026-03-04 05:06:07")),
                 qPrintable(firstRow));
    }

    void cellsTooWideEndInAnEllipsis()
    {
        QVariantList list = rows(1);
        QVariantMap row = list[0].toMap();
        const QString longText = QStringLiteral("w").repeated(400) + QStringLiteral("TAILMARK");
        row[QStringLiteral("content")] = longText;
        list[0] = row;
        const QString path = dir.filePath(QStringLiteral("long.pdf"));
        QVERIFY(AuditTrailReport::write(path, list, QString(), QStringLiteral("tester"), nullptr));
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("www…")));
        QVERIFY(!text.contains(QStringLiteral("TAILMARK")));

        const QFont font(QStringLiteral("Helvetica"), 10);
        const QFontMetrics metrics(font);
        QCOMPARE(AuditTrailReport::elided(QStringLiteral("short"), metrics, 1000), QStringLiteral("short"));
        const QString cut = AuditTrailReport::elided(longText, metrics, 200);
        QVERIFY(cut.endsWith(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(cut) <= 200);
    }

    void fileUrlAndPathNameTheSameFile()
    {
        const QString path = dir.filePath(QStringLiteral("url name.pdf"));
        QCOMPARE(AuditTrailReport::localPath(QUrl::fromLocalFile(path).toString()), path);
        QCOMPARE(AuditTrailReport::localPath(path), path);
        QVERIFY(AuditTrailReport::write(QUrl::fromLocalFile(path).toString(), rows(3), QString(), QStringLiteral("t"), nullptr));
        QVERIFY(QFile::exists(path));
        QCOMPARE(pdfPages(path), 1);
    }

    // A file that cannot be written is reported, and an older report of that name is kept whole.
    void failedWritesAreReported()
    {
        QVERIFY(!AuditTrailReport::write(dir.filePath(QStringLiteral("missing/folder/r.pdf")), rows(2), QString(),
                                         QStringLiteral("t"), nullptr));
        QVERIFY(!AuditTrailReport::write(dir.path(), rows(2), QString(), QStringLiteral("t"), nullptr));
        QVERIFY(!AuditTrailReport::write(QString(), rows(2), QString(), QStringLiteral("t"), nullptr));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing"))));
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    AuditTrailReportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "audittrailreport_test.moc"
