// Single exports of the capture pages and of stored pictures.
#include "libraryflow.h"

#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "picturefiles.h"
#include "useropts.h"

#include <QDebug>

#include <opencv2/imgcodecs.hpp>

bool LibraryFlow::exportStored(const QString& fileName, const QString& target, int index)
{
    const QString path = localPath(target);
    if (path.isEmpty())
        return false;
    return exportStoredPicture(localPath(fileName), path, index);
}

bool LibraryFlow::saveExportImage(const QString& target, int index, bool asDisplayed)
{
    const QString path = localPath(target);
    H695ICECamCtrl* camera = m_ctx.tucsen();
    TsFrameStore* frames = m_ctx.tucsenFrames();
    if (path.isEmpty() || !camera || frames->frameCount() == 0)
        return false;
    const int current = frames->currentImageIndex.load();
    const TsFramePtr frame = frames->frameAt(current);
    if (!frame)
        return false;
    // Listed frames are never written: the view's levels go on a copy.
    std::shared_ptr<TsFrame> copy = frame->clone();
    if (!copy)
        return false;
    if (asDisplayed) {
        H695ICECamCtrl::stretchLevels(copy->record(), frames->stretchLow.load(), frames->stretchHigh.load());
        UserOpts* opts = m_ctx.userOpts();
        const bool sharpened = camera->singleCaptureVisible.load()
                                   ? current == (opts->markerCapture() ? 0 : 1)
                                   : current <= opts->multiCapCount();
        if (sharpened)
            camera->sharpen16U(copy->record(), opts->sampleImageBkColor() != 0);
    }
    return exportGreyFrame(copy->view().mat().clone(), path, index, m_exportInfo);
}

bool LibraryFlow::saveExportImageQI(const QString& target, int index, bool asDisplayed)
{
    const QString path = localPath(target);
    KestrixCtrl* camera = m_ctx.kestrix();
    if (path.isEmpty() || !camera || camera->frameCount() == 0)
        return false;
    KestrixFrame frame = camera->frameAt(camera->curImageIndex.load());
    if (frame.empty())
        return false;
    if (asDisplayed)
        camera->stretchLevels(frame, camera->stretchLow.load(), camera->stretchHigh.load());
    return exportGreyFrame(frame.view().mat().clone(), path, index, m_exportInfo);
}

bool LibraryFlow::exportGel(const QString& curGelImageName, const QString& target, int index)
{
    const QString path = localPath(target);
    if (path.isEmpty())
        return false;
    const cv::Mat picture = readPicture(localPath(curGelImageName));
    if (picture.empty())
        return false;
    if (picture.type() == CV_8UC3) {
        qDebug() << "导出彩色图像";
        return exportColourPicture(picture, path, index, m_exportInfo, true);
    }
    qDebug() << "导出灰色图像";
    return saveExportImage(target, index, false);
}

bool LibraryFlow::exportMult(const QString& curMultImageName, const QString& target, int index)
{
    qDebug() << "imageSaveFileName:" << target;
    qDebug() << "multCurImageName:" << curMultImageName;
    const QString path = localPath(target);
    if (path.isEmpty())
        return false;
    const QString source = localPath(curMultImageName);
    const ExportFilter filter = dialogFilter(index);
    if (filter.format == ExportFormat::None)
        return false;
    if (target.contains(QLatin1String(".bmp")) || target.contains(QLatin1String(".jpg"))
        || target.contains(QLatin1String(".png"))) {
        cv::Mat picture = readPicture(source, cv::IMREAD_COLOR);
        if (picture.empty())
            return false;
        if (index >= 9)
            drawWatermarkColour(picture, m_exportInfo);
        return writePictureAs(path, picture, imageFormatName(filter.format));
    }
    cv::Mat picture = readPicture(source);
    if (picture.empty())
        return false;
    if (index >= 6 && index <= 8) {
        qDebug() << "imageChannels: " << picture.channels();
        if (picture.channels() == 1)
            drawWatermarkGrey(picture, m_exportInfo);
        else
            drawWatermarkColour(picture, m_exportInfo);
    }
    if (filter.enlarge)
        picture = enlargedTwice(picture);
    return writeByExtension(path, picture, filter.dpi);
}

bool LibraryFlow::exportWBTS(const QString& target, int index, const QString& srcPseudoImageName)
{
    if (srcPseudoImageName.isEmpty())
        return saveExportImage(target, index, true);
    return exportPseudoColour(target, index, srcPseudoImageName);
}

bool LibraryFlow::exportWBQI(const QString& target, int index, const QString& srcPseudoImageName)
{
    if (srcPseudoImageName.isEmpty())
        return saveExportImageQI(target, index, true);
    return exportPseudoColour(target, index, srcPseudoImageName);
}

bool LibraryFlow::exportPseudoColour(const QString& target, int index, const QString& srcPseudoImageName)
{
    const QString path = localPath(target);
    if (path.isEmpty())
        return false;
    const cv::Mat picture = readPicture(localPath(srcPseudoImageName), cv::IMREAD_COLOR);
    if (picture.empty())
        return false;
    return exportColourPicture(picture, path, index, m_exportInfo, false);
}
