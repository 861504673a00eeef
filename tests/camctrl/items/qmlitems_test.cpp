// The two items as the pages create them: registered under their URIs, instantiated from QML
// under the offscreen platform with no QML warning, and painted by the scene graph; and the
// controller's image invokables reaching the image work.
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QSignalSpy>
#include <QQuickView>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "gelflow.h"
#include "ic_maincontrol.h"
#include "startup.h"
#include "testappdir.h"

namespace {

const char* kPage = R"(
import QtQuick 2.15
import an.qt.ImagePaintedItem 1.0
import an.qt.DetailImageItem 1.0

Item {
    width: 120
    height: 60
    ImagePaintedItem {
        id: live
        objectName: "live"
        width: 60; height: 60
        imageIndex: -1
        mWidth: 60; mHeight: 60
        mAdapt: true
        Component.onCompleted: updateImage()
    }
    DetailImageItem {
        id: detail
        objectName: "detail"
        x: 60
        width: 60; height: 60
        mWidth: 60; mHeight: 60
        Component.onCompleted: { setDetailImage(picture); updateImage() }
    }
}
)";

} // namespace

class QmlItemsTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void initTestCase()
    {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        registerQmlTypes();
    }

    void itemsAreCreatedAndPaintedFromQml()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        ctrl->setAuthorityType(EnumOBJ::GelAndWBTS);
        ctrl->setExpMode(EnumOBJ::Gel);
        std::vector<uint16_t> pixels(30 * 30, 200 * 257);
        ctrl->h695ICECamCtrl->frameStore().setCurrentFrame(TsFrame::fromPixels(30, 30, pixels.data())->record());
        const QString picture = appDir.filePath("picture.tif");
        cv::imwrite(picture.toStdString(), cv::Mat(30, 30, CV_8UC3, cv::Scalar(0, 0, 255)));

        QQuickView view;
        QList<QQmlError> warnings;
        connect(view.engine(), &QQmlEngine::warnings, this, [&](const QList<QQmlError>& w) { warnings << w; });
        view.rootContext()->setContextProperty("picture", picture);
        const QString file = appDir.filePath("Page.qml");
        {
            QFile page(file);
            QVERIFY(page.open(QIODevice::WriteOnly));
            page.write(kPage);
        }
        view.setSource(QUrl::fromLocalFile(file));
        QCOMPARE(view.status(), QQuickView::Ready);
        QVERIFY2(view.errors().isEmpty(), qPrintable(view.errors().value(0).toString()));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        // The software scene graph of the offscreen platform is read back through an item grab.
        auto grab = [&] {
            const QSharedPointer<QQuickItemGrabResult> result = view.rootObject()->grabToImage();
            QSignalSpy ready(result.data(), &QQuickItemGrabResult::ready);
            return ready.wait(5000) ? result->image().convertToFormat(QImage::Format_RGB32) : QImage();
        };
        QImage grabbed;
        QTRY_VERIFY_WITH_TIMEOUT((grabbed = grab(), grabbed.size() == QSize(120, 60) && qGray(grabbed.pixel(30, 30)) == 200), 5000);
        QCOMPARE(grabbed.pixel(90, 30), qRgb(255, 0, 0));
        QVERIFY(view.rootObject()->findChild<QQuickItem*>("live"));
        for (const QQmlError& w : warnings)
            qWarning() << w.toString();
        QVERIFY(warnings.isEmpty());
        ctrl->h695ICECamCtrl->frameStore().clearCurrentFrame();
    }

    void controllerInvokablesReachTheImageWork()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        H695ICECamCtrl* cam = ctrl->h695ICECamCtrl;
        cam->frameStore().clearFrameList();
        std::vector<uint16_t> pixels(4, 1000);
        cam->frameStore().appendFrame(TsFrame::fromPixels(2, 2, pixels.data()));
        cam->frameStore().appendHistogram(HistogramInfo {});
        cam->frameStore().currentImageIndex = 0;

        QString path;
        QVERIFY(QMetaObject::invokeMethod(ctrl, "_GelTsGenerateImage", Q_RETURN_ARG(QString, path)));
        QCOMPARE(path, QString()); // no experiment yet

        ctrl->gel()->experiment = std::make_unique<GelExperimentRecord>();
        GelExperimentRecord* gelExp = ctrl->gel()->experiment.get();
        gelExp->name = "Gel1";
        gelExp->date = "2024-01-02";
        gelExp->imageSavePath = appDir.filePath("Images/2024-01-02/Gel1/");
        QVERIFY(QMetaObject::invokeMethod(ctrl, "_GelTsGenerateImage", Q_RETURN_ARG(QString, path)));
        QVERIFY(path.startsWith(gelExp->imageSavePath));
        QVERIFY(path.endsWith("_Gen.tif"));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(cam->frameStore().frameCount(), 2);

        QVERIFY(QMetaObject::invokeMethod(ctrl, "_WBTSMergeImage", Q_RETURN_ARG(QString, path),
                                          Q_ARG(QVariantList, QVariantList({0, 1}))));
        QCOMPARE(path, QString()); // no Western-blot experiment
        QVERIFY(QMetaObject::invokeMethod(ctrl, "_MultTSStaining", Q_RETURN_ARG(QString, path),
                                          Q_ARG(Qt::GlobalColor, Qt::red), Q_ARG(QString, QString("x.tif"))));
        QCOMPARE(path, QString());
        ctrl->gel()->clearCache();
    }
};

QTEST_MAIN(QmlItemsTest)
#include "qmlitems_test.moc"
