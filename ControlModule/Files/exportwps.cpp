#include "exportwps.h"

#include "apppaths.h"
#include "picturefiles.h"

#include <QDebug>
#include <QFileInfo>

#include <opencv2/imgcodecs.hpp>

#include <vector>

ExportWps::ExportWps(QObject* parent)
    : QObject(parent)
{
}

QString ExportWps::templatePath()
{
    return AppPaths::appDir() + QStringLiteral("/document/export.dotx");
}

bool ExportWps::openTemplate()
{
    if (!m_document.open(templatePath())) {
        qDebug() << "report template could not be opened:" << m_document.errorString();
        return false;
    }
    return true;
}

void ExportWps::setBookmarkText(const QString& name, const QString& text)
{
    if (!m_document.setBookmarkText(name, text))
        qDebug().noquote() << QStringLiteral("no mark ") + name;
}

void ExportWps::insertPicture(const QString& name, const QString& path)
{
    if (!m_document.hasBookmark(name)) {
        qDebug().noquote() << QStringLiteral("no mark ") + name;
        return;
    }
    const cv::Mat picture = readPicture(path, cv::IMREAD_UNCHANGED);
    std::vector<uchar> png;
    bool encoded = false;
    if (!picture.empty()) {
        try {
            encoded = cv::imencode(".png", picture, png);
        } catch (const cv::Exception& e) {
            qWarning() << "report picture not encoded:" << e.what();
        }
    }
    if (!encoded) {
        qWarning() << "report picture missing or unreadable:" << path;
        return;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(png.data()), int(png.size()));
    m_document.insertPicture(name, bytes, picture.cols, picture.rows);
}

QString ExportWps::documentPath(const QString& chosen)
{
    QString path = localPath(chosen);
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().compare(QLatin1String("docx"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".docx");
    return path;
}

bool ExportWps::saveAndClose(const QString& path)
{
    const QString target = documentPath(path);
    const bool saved = !target.isEmpty() && m_document.saveAs(target);
    if (!saved)
        qWarning() << "report not written:" << target << m_document.errorString();
    m_document.close();
    return saved;
}
