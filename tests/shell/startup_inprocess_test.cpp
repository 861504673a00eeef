// Start-up of the controller and the main window in one process, on a model this program does
// not know: the window still loads, and the controller reports the machine error.
#include "camopts.h"
#include "ic_maincontrol.h"
#include "startup.h"
#include "testappdir.h"
#include "translatorcontrol.h"
#include "useropts.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
QStringList g_warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}
} // namespace

class StartupInProcessTest : public QObject {
    Q_OBJECT

private slots:
    void controllerBeforeAnyModelIsRead()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        QCOMPARE(IC_MainControl::getInstance(), ctrl);
        QCOMPARE(ctrl->machineName(), EnumOBJ::Unknow_MachineName);
        QCOMPARE(ctrl->authorityType(), EnumOBJ::Unknow_AuthorityType);
        QCOMPARE(ctrl->expMode(), EnumOBJ::Unknow_ExpMode);
        QCOMPARE(ctrl->errorCode(), EnumOBJ::NoErr);
    }

    void unknownModelWritesNoDefaults()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        ctrl->initMachine();
        QCOMPARE(ctrl->machineName(), EnumOBJ::Unknow_MachineName);
        QCOMPARE(ctrl->authorityType(), EnumOBJ::Unknow_AuthorityType);
        const QString appDir = qEnvironmentVariable("TAVRILL_APP_DIR");
        // The Tucsen camera controller, taken by the main controller, stores the one display
        // setting it reads; no model default is written.
        QSettings user(appDir + QStringLiteral("/Ini/userOption.ini"), QSettings::IniFormat);
        user.beginGroup(QStringLiteral("UserOption"));
        QCOMPARE(user.childKeys(), QStringList {QStringLiteral("histLevelPercent")});
        QVERIFY(!QFile::exists(appDir + QStringLiteral("/Ini/camOption.ini")));
    }

    void mainWindowLoadsWithoutWarnings()
    {
        registerQmlTypes();
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        auto* engine = new QQmlApplicationEngine;
        addResourceImportPath(engine);
        TranslatorControl translatorControl;
        translatorControl.setEngine(QCoreApplication::instance(), engine);
        engine->rootContext()->setContextProperty(QStringLiteral("translatorControl"), &translatorControl);
        engine->rootContext()->setContextProperty(QStringLiteral("scaleRatio"), 1.0);
        engine->rootContext()->setContextProperty(QStringLiteral("demoVersion"), 0);
        engine->load(QUrl(QStringLiteral("qrc:/main.qml")));
        qInstallMessageHandler(previous);
        QCOMPARE(engine->rootObjects().size(), 1);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
        QObject* window = engine->rootObjects().first();
        QCOMPARE(window->property("curUserName").toString(), QString());
        QCOMPARE(window->property("curGlobalFilterPos").toInt(), -1);
        QCOMPARE(window->property("visible").toBool(), true);

        // The engine must not take the process-wide singletons with it.
        QQmlComponent user(engine);
        user.setData("import QtQml 2.15\nimport an.qt.UserOpts 1.0\nimport an.qt.CamOpts 1.0\n"
                     "QtObject { property var u: UserOpts; property var c: CamOpts }",
                     QUrl());
        QScopedPointer<QObject> holder(user.create());
        QVERIFY2(holder, qPrintable(user.errorString()));
        QPointer<UserOpts> userOpts = UserOpts::getInstance();
        QPointer<CamOpts> camOpts = CamOpts::getInstance();
        QPointer<IC_MainControl> ctrl = IC_MainControl::getInstance();
        holder.reset();
        delete engine;
        QVERIFY(userOpts);
        QVERIFY(camOpts);
        QVERIFY(ctrl);
    }

    void unknownModelIsTheMachineErrorInQml()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        QSignalSpy changed(ctrl, &IC_MainControl::errorCodeChanged);
        ctrl->initDevice();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(ctrl->errorCode(), EnumOBJ::MachineErr);

        QQmlEngine engine;
        QQmlComponent page(&engine);
        page.setData("import QtQml 2.15\nimport an.qt.MainCtrl 1.0\nimport an.qt.EnumOBJ 1.0\n"
                     "QtObject { property bool machineError: MainCtrl.errorCode === EnumOBJ.MachineErr\n"
                     "           property int authority: MainCtrl.authorityType }",
                     QUrl());
        QScopedPointer<QObject> object(page.create());
        QVERIFY2(object, qPrintable(page.errorString()));
        QCOMPARE(object->property("machineError").toBool(), true);
        QCOMPARE(object->property("authority").toInt(), int(EnumOBJ::Unknow_AuthorityType));
    }

    void pagesWriteControllerProperties()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        QSignalSpy errorChanged(ctrl, &IC_MainControl::errorCodeChanged);
        QSignalSpy modeChanged(ctrl, &IC_MainControl::expModeChanged);
        // A page clearing the error raises nothing.
        QVERIFY(ctrl->setProperty("errorCode", int(EnumOBJ::NoErr)));
        QCOMPARE(ctrl->errorCode(), EnumOBJ::NoErr);
        QCOMPARE(errorChanged.count(), 0);
        QVERIFY(ctrl->setProperty("expMode", int(EnumOBJ::WB)));
        QVERIFY(ctrl->setProperty("expMode", int(EnumOBJ::WB)));
        QCOMPARE(ctrl->expMode(), EnumOBJ::WB);
        QCOMPARE(modeChanged.count(), 1);
        QVERIFY(!ctrl->setProperty("machineName", int(EnumOBJ::M_S60)));
    }

    // Pages write a property, then save it by its index; the enumerations travel as numbers.
    void pagesSaveOptionsByIndex()
    {
        QQmlEngine engine;
        QQmlComponent page(&engine);
        page.setData("import QtQml 2.15\nimport an.qt.UserOpts 1.0\nimport an.qt.CamOpts 1.0\n"
                     "QtObject { Component.onCompleted: {\n"
                     "  UserOpts.lastLoginUser = \"管理员\"; UserOpts.saveUserOptsByName(UserOpts.OPT_LastLoginUser)\n"
                     "  UserOpts.language = UserOpts.English; UserOpts.saveUserOptsByName(UserOpts.OPT_Language)\n"
                     "  CamOpts.autoFocusPosition = 2222; CamOpts.saveCamOptsByName(CamOpts.AutoFocusPosition)\n"
                     "  CamOpts.gelTSCurExposurePre = 12.5; CamOpts.saveCurGelTSCamOpts()\n"
                     "} }",
                     QUrl());
        QScopedPointer<QObject> object(page.create());
        QVERIFY2(object, qPrintable(page.errorString()));
        const QString appDir = qEnvironmentVariable("TAVRILL_APP_DIR");
        QSettings user(appDir + QStringLiteral("/Ini/userOption.ini"), QSettings::IniFormat);
        QCOMPARE(user.value(QStringLiteral("UserOption/lastLoginUser")).toString(), QStringLiteral("管理员"));
        QCOMPARE(user.value(QStringLiteral("UserOption/language")).toString(), QStringLiteral("1"));
        QSettings cam(appDir + QStringLiteral("/Ini/camOption.ini"), QSettings::IniFormat);
        QCOMPARE(cam.value(QStringLiteral("CamOption/AutoFocusPosition")).toString(), QStringLiteral("2222"));
        QCOMPARE(cam.value(QStringLiteral("CamOption/GelTSCurExposurePre")).toString(), QStringLiteral("12.5"));
    }

    void scaleRatioPerConfiguration()
    {
        const struct {
            int authorityType;
            double expected;
        } cases[] = {{EnumOBJ::WBTS, 1.0},
                     {EnumOBJ::WBQI, 1.0},
                     {EnumOBJ::AllAuthorityTS, 1.0},
                     {EnumOBJ::GelTS20BW, 1.0},
                     {EnumOBJ::WBTS695_Manual, 1.2},
                     {EnumOBJ::GelAndWBTS695_Auto, 1.2},
                     {EnumOBJ::AllAuthorityTSFL9BW_Auto, 1.2},
                     {EnumOBJ::WBTSFL9BWMini, 1.0},
                     {EnumOBJ::WBTS695Mini, 1.0},
                     {EnumOBJ::Unknow_AuthorityType, 1.0}};
        for (const auto& c : cases)
            QCOMPARE(scaleRatioFor(c.authorityType), c.expected);
    }
};

int main(int argc, char** argv)
{
    TestAppDir appDir;
    appDir.writeMachine(QStringLiteral("S70"));
    QApplication app(argc, argv);
    StartupInProcessTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "startup_inprocess_test.moc"
