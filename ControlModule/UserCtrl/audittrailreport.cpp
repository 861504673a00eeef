#include "audittrailreport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QUrl>

#include <array>

namespace {

constexpr int kMargin = 200;
constexpr int kRowHeight = 300;
// 1200 dots per inch, the printer's high resolution: all geometry below is in these units.
constexpr int kResolution = 1200;

// The report's texts belong to the controller's translation context, which exports it.
QString translated(const char* text)
{
    return QCoreApplication::translate("IC_MainControl", text);
}

// The interface's CJK font from the resources stands behind the requested families, so Chinese
// rows print (and the font is embedded) on systems without a CJK font of their own.
QString cjkFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/wqy-microhei.ttc"));
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return families.isEmpty() ? QStringLiteral("WenQuanYi Micro Hei") : families.first();
    }();
    return family;
}

QFont reportFont(const QString& family, int pointSize, bool bold)
{
    QFont font(family, pointSize, bold ? QFont::Bold : QFont::Normal);
    font.setFamilies({family, cjkFamily()});
    return font;
}

struct Geometry {
    int contentWidth = 0;
    int contentHeight = 0;
    std::array<int, 5> columns{};
};

Geometry geometryOf(const QRect& page)
{
    Geometry g;
    g.contentWidth = page.width() - 400;
    g.contentHeight = page.height() - 200;
    const int cell = (g.contentWidth - 200) / 5;
    g.columns = {cell / 3, 2 * (cell / 3), int(2.5 * cell), cell / 2, cell};
    return g;
}

int drawPageHeader(QPainter& painter, int page, int contentWidth, int margin, const QString& applicant,
                   const QString& exportTime)
{
    painter.setFont(reportFont(QStringLiteral("Helvetica-Bold"), 14, true));
    // Scaled once: the same image on every page is embedded in the file once.
    static const QImage logo = QImage(QStringLiteral(":/Image/logo2.png")).scaled(1200, 800, Qt::KeepAspectRatio,
                                                                                Qt::FastTransformation);
    if (!logo.isNull())
        painter.drawImage(margin, margin, logo);
    const QString title = translated(QT_TRANSLATE_NOOP("IC_MainControl", "Audit Trail Records"));
    painter.drawText(margin + (contentWidth - painter.fontMetrics().horizontalAdvance(title)) / 2, margin + 200, title);

    painter.setFont(reportFont(QStringLiteral("Helvetica-Bold"), 12, true));
    const QString line = translated(QT_TRANSLATE_NOOP("IC_MainControl", "Applicant: ")) + applicant
        + translated(QT_TRANSLATE_NOOP("IC_MainControl", "  Export Time: ")) + exportTime;
    painter.drawText(margin + (contentWidth - painter.fontMetrics().horizontalAdvance(line)) / 2, margin + 500, line);

    painter.setFont(reportFont(QStringLiteral("Helvetica"), 10, false));
    const QString number = QStringLiteral("Page") + QString::number(page);
    painter.drawText(margin + contentWidth - painter.fontMetrics().horizontalAdvance(number) - 10, margin + 100, number);
    return margin + 800;
}

} // namespace

QString AuditTrailReport::localPath(const QString& fileName)
{
    if (fileName.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(fileName).toLocalFile();
    return fileName;
}

QString AuditTrailReport::elided(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    return metrics.elidedText(text, Qt::ElideRight, maxWidth);
}

bool AuditTrailReport::write(const QString& fileName, const QVariantList& rows, const QString& infoStr,
                             const QString& applicant, int* pages)
{
    const QString path = localPath(fileName);
    qDebug() << "生成pdf: " << path;
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        qWarning() << "请关闭pdf文件" << path << file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    writer.setTitle(translated(QT_TRANSLATE_NOOP("IC_MainControl", "Audit Trail Records")));
    writer.setCreator(QStringLiteral("Tavrill"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        qWarning() << "请关闭pdf文件" << path;
        file.cancelWriting();
        return false;
    }
    const Geometry g = geometryOf(writer.pageLayout().paintRectPixels(writer.resolution()));
    const QString exportTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QFont headerFont = reportFont(QStringLiteral("Helvetica-Bold"), 12, true);
    const QFont bodyFont = reportFont(QStringLiteral("Helvetica"), 10, false);
    const QFontMetrics bodyMetrics(bodyFont, &writer);
    painter.setPen(QPen(Qt::black, 30));

    int page = 1;
    int y = drawPageHeader(painter, page, g.contentWidth, kMargin, applicant, exportTime);
    painter.setFont(headerFont);
    painter.drawText(200, y + 200, infoStr);
    int tableTop = y + 420;
    const std::array<QString, 5> headings = {translated(QT_TRANSLATE_NOOP("IC_MainControl", "id")),
                                             translated(QT_TRANSLATE_NOOP("IC_MainControl", "module")),
                                             translated(QT_TRANSLATE_NOOP("IC_MainControl", "content")),
                                             translated(QT_TRANSLATE_NOOP("IC_MainControl", "handler")),
                                             translated(QT_TRANSLATE_NOOP("IC_MainControl", "operateTime"))};
    int x = 250;
    for (size_t c = 0; c < headings.size(); ++c) {
        painter.drawText(x, y + 600, headings[c]);
        x += g.columns[c];
    }
    painter.drawLine(200, y + 700, g.contentWidth, y + 700);
    int current = y + 700;
    painter.setFont(bodyFont);

    static const std::array<QString, 5> keys = {QStringLiteral("m_id"), QStringLiteral("module"),
                                                QStringLiteral("content"), QStringLiteral("handler"),
                                                QStringLiteral("operatingTime")};
    int index = 0;
    for (const QVariant& value : rows) {
        if (current + 299 >= g.contentHeight) {
            painter.drawRect(QRect(QPoint(200, tableTop), QPoint(g.contentWidth - 1, g.contentHeight - 1)));
            if (!writer.newPage())
                break;
            ++page;
            current = tableTop = drawPageHeader(painter, page, g.contentWidth, kMargin, applicant, exportTime);
            painter.setFont(bodyFont);
        }
        if (index % 2 == 1)
            painter.fillRect(QRect(QPoint(200, current + 75), QPoint(g.contentWidth - 1, current + 374)),
                             QColor(200, 200, 200));
        const QVariantMap row = value.toMap();
        x = 250;
        for (size_t c = 0; c < keys.size(); ++c) {
            // A small gap keeps a full cell off the next column.
            painter.drawText(x, current + 300, elided(row.value(keys[c]).toString(), bodyMetrics, g.columns[c] - 60));
            x += g.columns[c];
        }
        current += kRowHeight;
        ++index;
    }
    // Without rows the frame is 380 units high, the height of the heading band.
    painter.drawRect(QRect(QPoint(200, tableTop), QPoint(g.contentWidth - 1, current + 99)));
    painter.end();
    if (!file.commit()) {
        qWarning() << "请关闭pdf文件" << path << file.errorString();
        return false;
    }
    if (pages)
        *pages = page;
    return true;
}
