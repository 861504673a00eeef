#include "exportwps.h"

#include "picturefiles.h"

#include <QCoreApplication>
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
    return QCoreApplication::applicationDirPath() + QStringLiteral("/document/export.dotx");
}

bool ExportWps::openTemplate(const QString& templateFile)
{
    if (!QFileInfo(templateFile).isFile()) {
        qWarning() << "report template missing:" << templateFile;
        m_error = tr("The report template is missing: %1").arg(templateFile);
        return false;
    }
    if (!m_document.open(templateFile)) {
        qWarning() << "report template could not be opened:" << templateFile << m_document.errorString();
        m_error = tr("The report template cannot be read: %1").arg(templateFile);
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
    if (!saved) {
        qWarning() << "report not written:" << target << m_document.errorString();
        m_error = tr("The report could not be written: %1").arg(target.isEmpty() ? path : target);
    }
    m_document.close();
    return saved;
}
