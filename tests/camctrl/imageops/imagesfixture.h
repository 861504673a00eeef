#pragma once
// Fixture of the controller's image work: a Tucsen controller of the test's own, the process's
// Kestrix controller, one record per mode in a temporary Images tree, the user's copy folder and
// a fixed clock, and helpers that make frames and read pictures back.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>

#include <memory>

#include "experimentimages.h"
#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "logcapture.h"
#include "useropts.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

class ImagesFixture : public ::testing::Test {
protected:
    static constexpr const char* kTime = "08-09-10-011";
    static constexpr const char* kDate = "2024-01-02";

    void SetUp() override
    {
        images.setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(8, 9, 10, 11)); });
        setRecord(wb, "WBS20240102-080000");
        setRecord(gel, "Gel20240102-080000");
        setRecord(mult, "Mult20240102-080000");
        opts->setImageSavePath(root.filePath("copies"));
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
        setBackground(UserOpts::White);
        opts->setIsAutoStretch(false);
        opts->setIsBeautifyPictures(false);
        qi->clearFrames();
    }
    void TearDown() override { qi->clearFrames(); }

    template <class Set>
    void setOption(Set set, UserOpts::UserOptType type)
    {
        set(opts);
        opts->saveUserOptsByName(type);
    }
    void setBackground(UserOpts::BkColorType color)
    {
        opts->setSampleImageBkColor(color);
        opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    }
    void setRecord(ExperimentRecord& record, const QString& name)
    {
        record.name = name;
        record.date = kDate;
        record.imageSavePath = root.filePath(QString("Images/%1/%2/").arg(kDate, name));
        QDir().mkpath(record.imageSavePath);
    }
    QString expPath(const ExperimentRecord& record, const QString& suffix) const
    {
        return record.imageSavePath + kTime + suffix + ".tif";
    }
    QString copyPath(const ExperimentRecord& record, const QString& suffix) const
    {
        return root.filePath(QString("copies/%1/%2/").arg(kDate, record.name)) + kTime + suffix + ".tif";
    }
    static cv::Mat read(const QString& path, int flags = cv::IMREAD_UNCHANGED)
    {
        return cv::imread(path.toStdString(), flags);
    }

    // A Tucsen frame of the matrix's pixels (16-bit grey) and its record with the given range.
    int addTsFrame(const cv::Mat& pixels, int low = 0, int high = 65535)
    {
        const cv::Mat packed = pixels.clone();
        const int index = tsFrames.appendFrame(TsFrame::fromPixels(packed.cols, packed.rows, packed.ptr<uint16_t>()));
        HistogramInfo info;
        H695ICECamCtrl::computeLogHistogram(tsFrames.frameAt(index)->record(), info);
        info.low = low;
        info.high = high;
        tsFrames.appendHistogram(info);
        return index;
    }
    int addQiFrame(const cv::Mat& pixels, int low = 0, int high = 65535)
    {
        KestrixFrame frame;
        frame.region = rgn_type{0, uint16_t(pixels.cols - 1), 1, 0, uint16_t(pixels.rows - 1), 1};
        const cv::Mat packed = pixels.clone();
        frame.pixels.assign(packed.ptr<uint16_t>(), packed.ptr<uint16_t>() + packed.total());
        const int index = qi->appendFrame(frame);
        HistogramInfo info;
        qi->autoLevels(frame, info);
        info.low = low;
        info.high = high;
        qi->appendHistogram(info);
        return index;
    }
    static cv::Mat grey16(int rows, int cols, int value)
    {
        return cv::Mat(rows, cols, CV_16UC1, cv::Scalar(value));
    }
    static std::vector<int> pixelsOf(const TsFramePtr& frame)
    {
        std::vector<int> out;
        if (!frame)
            return out;
        const FrameView v = frame->view();
        out.assign(v.pixels, v.pixels + v.count());
        return out;
    }

    QTemporaryDir root;
    UserOpts* opts = UserOpts::getInstance();
    H695ICECamCtrl ts;
    TsFrameStore& tsFrames = ts.frameStore();
    KestrixCtrl* qi = KestrixCtrl::getInstance();
    ExperimentImages images {&ts, qi, opts};
    WesternBlotExperimentRecord wb;
    GelExperimentRecord gel;
    MultExperimentRecord mult;
    LogCapture log;
};
