// The page tests: every tst_*.qml file of this folder runs against the program's own pages from
// the resources, with the real option stores, translator and main controller on a private
// application folder with the virtual cabinet (an S60 unless TAVRILL_TEST_MACHINE names another),
// as the program starts them.
#include "asyncserialportthread.h"
#include "ic_maincontrol.h"
#include "startup.h"
#include "testappdir.h"
#include "testprobe.h"
#include "translatorcontrol.h"

#include <QApplication>
#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QDir>
#include <QFile>
#include <QtQuickTest>

#include <cstdio>
#include <cstdlib>

class PageTestSetup : public QObject {
    Q_OBJECT
public:
    PageTestSetup()
    {
        // A test of another cabinet names it (the Kestrix page test runs on an S40Plus).
        const QByteArray machine = qgetenv("TAVRILL_TEST_MACHINE");
        m_appDir.writeMachine(machine.isEmpty() ? QStringLiteral("S60") : QString::fromLatin1(machine));
        // The report template lies beside the program.
        QDir().mkpath(m_appDir.filePath(QStringLiteral("document")));
        QFile::copy(QStringLiteral(TAVRILL_REPORT_TEMPLATE), m_appDir.filePath(QStringLiteral("document/export.dotx")));
        // The pages draw with the software renderer, as the program does.
        qputenv("QT_QUICK_BACKEND", "software");
        TestProbe::install();
    }

public slots:
    void applicationAvailable()
    {
        IC_MainControl* ctrl = IC_MainControl::getInstance();
        ctrl->initMachine();
        registerQmlTypes();
        m_translator = new TranslatorControl(this);
        applyVirtualCabinetModel(ctrl->authorityType());
        ctrl->initDevice();
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        addResourceImportPath(engine);
        m_translator->setEngine(QCoreApplication::instance(), engine);
        engine->rootContext()->setContextProperty(QStringLiteral("translatorControl"), m_translator);
        engine->rootContext()->setContextProperty(QStringLiteral("scaleRatio"), 1.0);
        engine->rootContext()->setContextProperty(QStringLiteral("demoVersion"), 0);
        engine->rootContext()->setContextProperty(QStringLiteral("testProbe"), TestProbe::instance());
        engine->setOfflineStoragePath(m_appDir.path());
        TestProbe::instance()->setEngine(engine);
    }

    void cleanupTestCase()
    {
        // Warnings raised after the last test (while pages are destroyed) fail the run too.
        const QStringList late = TestProbe::instance()->takeWarnings();
        if (!late.isEmpty()) {
            std::fprintf(stderr, "FAIL!  : QML warnings after the last test:\n%s\n",
                         qPrintable(late.join(QLatin1Char('\n'))));
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(1);
        }
    }

private:
    TestAppDir m_appDir;
    TranslatorControl* m_translator = nullptr;
};

// A widgets application, as the program has: the chart items of the pages need one.
int main(int argc, char** argv)
{
    QTEST_SET_MAIN_SOURCE_PATH
    PageTestSetup setup;
    QApplication app(argc, argv);
    return quick_test_main_with_setup(argc, argv, "qml", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "qml_test_main.moc"
