// The image library's detail item: pictures opened from files and data files, the stretch and
// the histogram with its chart line, the generated copy, the merge, the exports, and painting.
#include "detailimageitem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

#include <cmath>

#include <sys/stat.h>

#include "h695icecamctrl.h"
#include "logcapture.h"
#include "mutatedinputs.h"
#include "paramimagefile.h"
#include "testappdir.h"
#include "useropts.h"

namespace {

std::vector<int> valuesOf(const cv::Mat& m)
{
    std::vector<int> out;
    for (int i = 0; i < int(m.total()); ++i)
        out.push_back(m.depth() == CV_16U ? m.at<uint16_t>(i) : m.at<uint8_t>(i));
    return out;
}

cv::Mat row16(std::initializer_list<int> values)
{
    cv::Mat m(1, int(values.size()), CV_16UC1);
    int i = 0;
    for (int v : values)
        m.at<uint16_t>(i++) = uint16_t(v);
    return m;
}

} // namespace

class DetailImageItemTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    UserOpts* opts = nullptr;
    std::unique_ptr<H695ICECamCtrl> cam;
    std::unique_ptr<DetailImageItem> item;
    QStringList warnings;
    QString folder; // an experiment folder with dots in its path

    QString write(const QString& name, const cv::Mat& picture)
    {
        const QString path = folder + name;
        cv::imwrite(path.toStdString(), picture);
        return path;
    }
    QString copies() const { return appDir.filePath("copies"); }

private slots:
    void init()
    {
        opts = UserOpts::getInstance();
        opts->setImageSavePath(copies());
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
        opts->setCurDetailMinInten(0);
        opts->setCurDetailMaxInten(0);
        cam = std::make_unique<H695ICECamCtrl>();
        item = std::make_unique<DetailImageItem>(cam.get(), opts);
        item->setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(8, 9, 10, 11)); });
        warnings.clear();
        item->setWarningPresenter([this](const QString& title, const QString& text) { warnings << title + "|" + text; });
        item->setMWidth(60);
        item->setMHeight(40);
        folder = appDir.filePath("Images.v2/2024-01-02/WBS20240102-080000/");
        QDir().mkpath(folder);
    }
    void cleanup()
    {
        item.reset();
        cam.reset();
        QDir(folder).removeRecursively();
        QFile::remove(QDir::cleanPath(folder));
    }

    void openingTellsWhetherThePictureIsGrey_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("grey");
        QTest::newRow("16-bit grey") << CV_16UC1 << true;
        QTest::newRow("8-bit grey") << CV_8UC1 << true;
        QTest::newRow("8-bit colour") << CV_8UC3 << false;
    }
    void openingTellsWhetherThePictureIsGrey()
    {
        QFETCH(int, type);
        QFETCH(bool, grey);
        const QString path = write("p.tif", cv::Mat(4, 6, type, cv::Scalar::all(100)));
        QSignalSpy spy(item.get(), &DetailImageItem::isGrayImage);
        item->setDetailImage("file://" + path);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toBool(), grey);
        QCOMPARE(item->displayMat().type(), type);
        QVERIFY(!opts->isDetailStretch());
        QCOMPARE(item->width(), 60.0);
    }

    // Opened unchanged and shown 1:1 when fitted: grey levels and colours as stored.
    void paintShowsThePictureFitted()
    {
        cv::Mat colour(20, 40, CV_8UC3, cv::Scalar(30, 20, 10));
        item->setDetailImage(write("c.tif", colour));
        QImage image(60, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            item->paint(&painter);
        }
        QCOMPARE(item->mScale(), 1.5);
        QCOMPARE(image.pixel(30, 20), qRgb(10, 20, 30));
        QVERIFY(!item->mAdapt());

        item->setDetailImage(write("g.tif", cv::Mat(40, 60, CV_16UC1, cv::Scalar(128 * 257))));
        item->setMOrigin(true);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            item->paint(&painter);
        }
        QCOMPARE(item->mScale(), 1.0);
        QCOMPARE(qGray(image.pixel(59, 39)), 128);
    }

    void paintRefusesWhatItCannotShow()
    {
        LogCapture log;
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        item->paint(&painter);
        QVERIFY(log.contains("m_detailMat is empty"));
        item->setDetailMat(cv::Mat(3, 3, CV_32FC1, cv::Scalar(1)));
        item->paint(&painter);
        QVERIFY(log.contains("Error: Unsupport image format"));
        item->paint(nullptr);
        QVERIFY(log.contains("painter is nullptr"));
        QCOMPARE(image.pixel(5, 5), qRgba(0, 0, 0, 0));
    }

    // Whatever lies in the folder, opening it leaves an empty picture with the message and
    // painting logs it; nothing is decoded from a header that claims more than any sensor.
    void unreadablePicturesGiveAnEmptyPicture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QByteArray() << "missing";
        QTest::newRow("garbage") << QByteArray("not a picture at all, just words") << "file";
        QTest::newRow("empty file") << QByteArray() << "file";
        QTest::newRow("TIFF claiming 60000 x 60000") << tiffHeaderClaiming(60000, 60000) << "file";
        QTest::newRow("TIFF one column past the sensor") << tiffHeaderClaiming(4657, 10) << "file";
        QTest::newRow("TIFF within the sensor, pixels missing") << tiffHeaderClaiming(4656, 3136) << "file";
        QTest::newRow("FIFO") << QByteArray() << "fifo";
        QTest::newRow("folder") << QByteArray() << "folder";
        // The data file beside the picture claims 40000 x 40000 and backs it (sparse).
        QTest::newRow("giant data file") << QByteArray() << "data";
    }
    void unreadablePicturesGiveAnEmptyPicture()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        const QString path = folder + "u.tif";
        if (kind == "file" || kind == "data") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == "data" ? tiffHeaderClaiming(40000, 40000) : bytes);
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        }
        if (kind == "data") {
            QFile data(folder + "u.data");
            QVERIFY(data.open(QIODevice::WriteOnly));
            const int32_t header[3] = {40000, 40000, CV_16UC1};
            data.write(reinterpret_cast<const char*>(header), sizeof header);
            QVERIFY(data.resize(12 + qint64(40000) * 40000 * 2));
        }
        item->setDetailImage(write("good.tif", row16({1, 2, 3})));
        QVERIFY(!item->unreadable());
        LogCapture log;
        QSignalSpy unreadable(item.get(), &DetailImageItem::unreadableChanged);
        QSignalSpy grey(item.get(), &DetailImageItem::isGrayImage);
        QSignalSpy range(item.get(), &DetailImageItem::changeAxisYMaxAndSliderValueDetail);
        item->setDetailImage(QUrl::fromLocalFile(path).toString());
        item->updateHistogramInfo();
        QVERIFY(item->detailMat().empty());
        QVERIFY(item->displayMat().empty());
        QVERIFY(item->unreadable());
        QCOMPARE(unreadable.count(), 1);
        QCOMPARE(grey.count(), 1);
        QCOMPARE(grey.first().first().toBool(), false);
        QCOMPARE(range.count(), 0);
        QImage image(20, 20, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            item->paint(&painter);
        }
        QVERIFY(log.contains("m_detailMat is empty"));
        QCOMPARE(image.pixel(10, 10), qRgba(0, 0, 0, 0));
        // Nothing to derive from it either.
        QVERIFY(!item->_WBTSGenerateImage());
        QVERIFY(!item->exportImage(appDir.filePath("u.png"), 4));
        QVERIFY(!item->mergeImage({path, path}));
        // The next readable picture clears the message.
        item->setDetailImage(folder + "good.tif");
        QVERIFY(!item->unreadable());
        QCOMPARE(unreadable.count(), 2);
    }

    void stretchMapsTheRange_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<std::vector<int>>("want");
        QTest::newRow("1000..2000") << 1000 << 2000 << std::vector<int> {0, 0, 32768, 65535, 65535};
        QTest::newRow("full range") << 0 << 65535 << std::vector<int> {999, 1000, 1500, 2000, 2001};
        QTest::newRow("low = high") << 1500 << 1500 << std::vector<int> {0, 0, 0, 65535, 65535};
    }
    void stretchMapsTheRange()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(std::vector<int>, want);
        item->setDetailImage(write("s.tif", row16({999, 1000, 1500, 2000, 2001})));
        item->updateDetailImageShow(low, high);
        QCOMPARE(valuesOf(item->displayMat()), want);
        QCOMPARE(valuesOf(item->detailMat()), (std::vector<int> {999, 1000, 1500, 2000, 2001}));
        QCOMPARE(item->detailInfo().low, low);
    }

    // The chart gets all 65536 values (every hundredth non-empty bin at 0); the full scale's top
    // value has its own bin.
    void histogramOfAPlainPictureUsesTheFullRange()
    {
        item->setDetailImage(write("h.tif", row16({0, 65535, 65535, 7})));
        QtCharts::QLineSeries series;
        item->setDetaiLineSeries(&series);
        QSignalSpy spy(item.get(), &DetailImageItem::changeAxisYMaxAndSliderValueDetail);
        item->updateHistogramInfo();
        QCOMPARE(spy.count(), 1);
        const QList<QVariant> args = spy.first();
        QCOMPARE(args.at(0).toBool(), false);
        QCOMPARE(args.at(1).toDouble(), std::log10(3.1));
        QCOMPARE(args.at(2).toInt(), 0);
        QCOMPARE(args.at(3).toInt(), 65535);
        QCOMPARE(series.count(), 65536);
        QCOMPARE(series.at(65535).y(), std::log10(3.1));
        QCOMPARE(series.at(99).y(), 0.0);
        QCOMPARE(series.at(100).y(), std::log10(1.1));
        QCOMPARE(series.pen().color(), QColor(Qt::black));
    }

    // A data file carries the raw pixels and the display settings; without a stored range the
    // automatic one comes from the cumulative counts.
    void dataFilePicturesGetTheirStoredOrAutomaticRange_data()
    {
        QTest::addColumn<int>("storedLow");
        QTest::addColumn<int>("storedHigh");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("stored range") << 1000 << 3000 << 1000 << 3000;
        QTest::newRow("automatic: 100 and 1000 become 100 and 2535") << 0 << 0 << 100 << 2535;
    }
    void dataFilePicturesGetTheirStoredOrAutomaticRange()
    {
        QFETCH(int, storedLow);
        QFETCH(int, storedHigh);
        QFETCH(int, low);
        QFETCH(int, high);
        cv::Mat raw(1, 1000, CV_16UC1, cv::Scalar(500));
        raw.colRange(0, 100).setTo(100);
        raw.colRange(900, 1000).setTo(1000);
        const QString picture = write("10-00-00-000.tif", cv::Mat(1, 1000, CV_16UC1, cv::Scalar(7)));
        QVERIFY(writeDataFile(folder + "10-00-00-000.data", raw, 0, false, true, storedLow, storedHigh));
        cam->histLevelPercent = 0.001;
        QSignalSpy grey(item.get(), &DetailImageItem::isGrayImage);
        item->setDetailImage(picture);
        QCOMPARE(grey.first().first().toBool(), true);
        QCOMPARE(item->detailMat().at<uint16_t>(0), uint16_t(100)); // from the data file
        QSignalSpy spy(item.get(), &DetailImageItem::changeAxisYMaxAndSliderValueDetail);
        item->updateHistogramInfo();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(0).toBool(), true);
        QCOMPARE(spy.first().at(2).toInt(), low);
        QCOMPARE(spy.first().at(3).toInt(), high);
        // The stored stretch switch is on: the picture is shown over that range.
        QVERIFY(opts->isDetailStretch());
        QCOMPARE(int(item->displayMat().at<uint16_t>(0)), 0);
    }

    // Colour pictures have no histogram: nothing is emitted and the picture stays as stored.
    void colourPicturesKeepTheirColours()
    {
        item->setDetailImage(write("c.tif", cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 3))));
        QSignalSpy spy(item.get(), &DetailImageItem::changeAxisYMaxAndSliderValueDetail);
        item->updateHistogramInfo();
        item->updateDetailImageShow(10, 20);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(item->displayMat().at<cv::Vec3b>(1, 1), cv::Vec3b(1, 2, 3));
    }

    void generateWritesBesideThePictureAndIntoTheUsersFolder()
    {
        item->setDetailImage(write("10-00-00-000.tif", row16({1000, 1500, 2000})));
        item->updateDetailImageShow(1000, 2000);
        QVERIFY(item->_WBTSGenerateImage());
        QVERIFY(item->isGenerate());
        const QString made = folder + "08-09-10-011_Gen.tif";
        QCOMPARE(valuesOf(cv::imread(made.toStdString(), cv::IMREAD_UNCHANGED)), (std::vector<int> {0, 32768, 65535}));
        QVERIFY(QFileInfo::exists(copies() + "/2024-01-02/WBS20240102-080000/08-09-10-011_Gen.tif"));
        // Opening a picture clears the flag; a copy that cannot be written is not reported as made.
        item->setDetailImage(made);
        QVERIFY(!item->isGenerate());
        QDir(folder).removeRecursively();
        QFile blocker(QDir::cleanPath(folder));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QVERIFY(!item->_WBTSGenerateImage());
        QVERIFY(!item->isGenerate());
    }

    void mergeMultipliesTwoPictures_data()
    {
        QTest::addColumn<int>("typeA");
        QTest::addColumn<int>("valueA");
        QTest::addColumn<int>("typeB");
        QTest::addColumn<int>("valueB");
        QTest::addColumn<int>("want");
        QTest::newRow("white grey pictures") << CV_16UC1 << 65535 << CV_16UC1 << 65535 << 65535;
        QTest::newRow("mid grey pictures") << CV_16UC1 << 32768 << CV_16UC1 << 32768 << 16384;
        // 128 x 200: a 16-bit picture joins a colour one at 8 bits.
        QTest::newRow("colour merge") << CV_16UC1 << 128 * 256 << CV_8UC3 << 200 << int((200 / 255.0) * (128 / 255.0) * 255);
    }
    void mergeMultipliesTwoPictures()
    {
        QFETCH(int, typeA);
        QFETCH(int, valueA);
        QFETCH(int, typeB);
        QFETCH(int, valueB);
        QFETCH(int, want);
        const QString a = write("a.tif", cv::Mat(2, 3, typeA, cv::Scalar::all(valueA)));
        const QString b = write("b.tif", cv::Mat(2, 3, typeB, cv::Scalar::all(valueB)));
        QSignalSpy spy(item.get(), &DetailImageItem::mergeNewImage);
        QVERIFY(item->mergeImage({"file://" + a, b}));
        QCOMPARE(spy.count(), 1);
        const cv::Mat merged = cv::imread((folder + "08-09-10-011_Merge.tif").toStdString(), cv::IMREAD_UNCHANGED);
        QCOMPARE(merged.type(), typeA == CV_8UC3 || typeB == CV_8UC3 ? CV_8UC3 : CV_16UC1);
        QCOMPARE(merged.depth() == CV_16U ? int(merged.at<uint16_t>(1, 2)) : int(merged.at<cv::Vec3b>(1, 2)[1]), want);
        QVERIFY(QFileInfo::exists(copies() + "/2024-01-02/WBS20240102-080000/08-09-10-011_Merge.tif"));
        QVERIFY(warnings.isEmpty());
    }

    void mergeRefusesWithAWarning_data()
    {
        QTest::addColumn<int>("typeB");
        QTest::addColumn<int>("rowsB");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("warning");
        QTest::newRow("8-bit grey") << CV_8UC1 << 2 << false << "Error|Incorrect picture type";
        QTest::newRow("other size") << CV_16UC1 << 3 << false << "Error|Inconsistent picture size";
        QTest::newRow("unreadable") << -1 << 2 << false << "Error|Incorrect picture type";
        QTest::newRow("8-bit grey, Chinese") << CV_8UC1 << 2 << true << QStringLiteral("错误|图片类型不正确");
        QTest::newRow("other size, Chinese") << CV_16UC1 << 3 << true << QStringLiteral("错误|图片尺寸不一致");
    }
    void mergeRefusesWithAWarning()
    {
        QFETCH(int, typeB);
        QFETCH(int, rowsB);
        QFETCH(bool, chinese);
        QFETCH(QString, warning);
        // The interface's translation, as the language switch installs it.
        QTranslator translator;
        if (chinese) {
            QVERIFY(translator.load(QStringLiteral(":/zh_CN.qm")));
            QCoreApplication::installTranslator(&translator);
        }
        const auto uninstall = qScopeGuard([&] { QCoreApplication::removeTranslator(&translator); });
        const QString a = write("a.tif", cv::Mat(2, 3, CV_16UC1, cv::Scalar(5)));
        const QString b = typeB < 0 ? folder + "missing.tif" : write("b.tif", cv::Mat(rowsB, 3, typeB, cv::Scalar::all(5)));
        QSignalSpy spy(item.get(), &DetailImageItem::mergeNewImage);
        QVERIFY(!item->mergeImage({a, b}));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(warnings, QStringList {warning});
        QVERIFY(!QFileInfo::exists(folder + "08-09-10-011_Merge.tif"));
        QVERIFY(!item->mergeImage({a}));
    }

    void exportsTheShownPicture_data()
    {
        QTest::addColumn<int>("suffix");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("written");
        QTest::newRow("TIFF 600 dpi") << 0 << "e.tif" << true;
        QTest::newRow("TIFF 300 dpi") << 1 << "e.tif" << true;
        QTest::newRow("BMP") << 2 << "e.bmp" << true;
        QTest::newRow("JPG") << 3 << "e.jpg" << true;
        QTest::newRow("PNG") << 4 << "e.png" << true;
        QTest::newRow("unknown") << 5 << "e.png" << false;
    }
    void exportsTheShownPicture()
    {
        QFETCH(int, suffix);
        QFETCH(QString, name);
        QFETCH(bool, written);
        item->setDetailImage(write("x.tif", cv::Mat(2, 2, CV_16UC1, cv::Scalar(0x8012))));
        const QString target = appDir.filePath("export dir/" + name);
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        QCOMPARE(item->exportImage(QUrl::fromLocalFile(target).toString(), suffix), written);
        QCOMPARE(QFileInfo::exists(target), written);
        if (!written)
            return;
        const cv::Mat back = cv::imread(target.toStdString(), cv::IMREAD_UNCHANGED);
        if (suffix <= 1) {
            QCOMPARE(back.type(), CV_16UC1);
            QCOMPARE(int(back.at<uint16_t>(1, 1)), 0x8012);
        } else {
            QCOMPARE(back.channels(), 3);
            QVERIFY(std::abs(int(back.at<cv::Vec3b>(1, 1)[0]) - 0x80) <= 2); // the high byte
        }
    }

    void exportWithoutAPictureWritesNothing()
    {
        const QString target = appDir.filePath("none.png");
        QVERIFY(!item->exportImage(target, 4));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(!item->_WBTSGenerateImage());
    }
};

QTEST_MAIN(DetailImageItemTest)
#include "detailimageitem_test.moc"
