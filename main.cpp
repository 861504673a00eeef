#include "apppaths.h"
#include "ic_maincontrol.h"
#include "startup.h"
#include "translatorcontrol.h"

#include <QApplication>
#include <QDebug>
#include <QQmlApplicationEngine>
#include <QQmlContext>

int main(int argc, char** argv)
{
    // Before the handler is installed: the second instance leaves the log untouched.
    if (!isFirstInstance()) {
        qDebug() << "program already start.";
        return -1;
    }
    qInstallMessageHandler(logMessageHandler);

    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    qputenv("QMLSCENE_DEVICE", "softwarecontext");
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton);
    auto* application = new QApplication(argc, argv);
    QApplication::setDoubleClickInterval(200);
    chooseVirtualCabinet();

    removeCameraConfigFiles();
    removeImageFiles();

    IC_MainControl* mainCtrl = IC_MainControl::getInstance();
    mainCtrl->initMachine();
    mainCtrl->startRegularRemove();
    auto* translatorControl = new TranslatorControl();

    registerQmlTypes();

    auto* engine = new QQmlApplicationEngine();
    addResourceImportPath(engine);
    translatorControl->setEngine(application, engine);
    engine->rootContext()->setContextProperty(QStringLiteral("translatorControl"), translatorControl);
    engine->rootContext()->setContextProperty(QStringLiteral("scaleRatio"), 1.0);
    engine->rootContext()->setContextProperty(QStringLiteral("demoVersion"), 0);
    engine->setOfflineStoragePath(AppPaths::appDir());
    engine->load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine->rootObjects().isEmpty()) {
        delete engine;
        delete application;
        return -1;
    }

    applyVirtualBoardEnvironment();
    applyVirtualCabinetModel(mainCtrl->authorityType());
    mainCtrl->initDevice();
    const double scaleRatio = scaleRatioFor(mainCtrl->authorityType());
    if (scaleRatio != 1.0)
        engine->rootContext()->setContextProperty(QStringLiteral("scaleRatio"), scaleRatio);

    const int result = application->exec();
    delete engine;
    delete application;
    return result;
}
