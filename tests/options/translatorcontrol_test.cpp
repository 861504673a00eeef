// The language switch with the translation carried in the resources.
#include "translatorcontrol.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TranslatorControlTest : public QObject {
    Q_OBJECT

private:
    QQmlEngine* m_engine = nullptr;
    QObject* m_page = nullptr;
    TranslatorControl* m_control = nullptr;

    QString shown() const { return m_page->property("text").toString(); }

private slots:
    void init()
    {
        m_engine = new QQmlEngine;
        QQmlComponent component(m_engine);
        component.setData("import QtQml 2.15\nQtObject { property string text: qsTranslate(\"IC_HeadPage\", "
                          "\"Home\") }",
                          QUrl());
        m_page = component.create();
        QVERIFY2(m_page, qPrintable(component.errorString()));
        m_control = new TranslatorControl;
        m_control->setEngine(QCoreApplication::instance(), m_engine);
    }

    void cleanup()
    {
        delete m_page;
        delete m_engine;
        delete m_control; // uninstalls its translator with it
    }

    void translationIsInTheResources()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/zh_CN.qm")));
        QCOMPARE(translator.translate("IC_HeadPage", "Home"), QStringLiteral("首页"));
    }

    void switchesBackAndForthWithoutRestart()
    {
        QCOMPARE(shown(), QStringLiteral("Home"));
        m_control->loadLanguage(0);
        QCOMPARE(shown(), QStringLiteral("首页"));
        m_control->loadLanguage(1);
        QCOMPARE(shown(), QStringLiteral("Home"));
        m_control->loadLanguage(0);
        QCOMPARE(shown(), QStringLiteral("首页"));
    }

    void otherValuesKeepTheCurrentLanguage()
    {
        m_control->loadLanguage(0);
        m_control->loadLanguage(2);
        QCOMPARE(shown(), QStringLiteral("首页"));
        m_control->loadLanguage(-1);
        QCOMPARE(shown(), QStringLiteral("首页"));
        m_control->loadLanguage(1);
        m_control->loadLanguage(2);
        QCOMPARE(shown(), QStringLiteral("Home"));
    }

    // Repeated switches keep one translator object in service, and taking it out once
    // leaves the source texts.
    void manySwitchesThenUninstall()
    {
        for (int i = 0; i < 5; ++i) {
            m_control->loadLanguage(0);
            m_control->loadLanguage(0);
            m_control->loadLanguage(1);
        }
        QCOMPARE(shown(), QStringLiteral("Home"));
        m_control->loadLanguage(0);
        QCOMPARE(shown(), QStringLiteral("首页"));
        QCOMPARE(m_control->findChildren<QTranslator*>().size(), 1);
        auto* translator = m_control->findChild<QTranslator*>();
        QVERIFY(translator);
        QVERIFY(QCoreApplication::removeTranslator(translator));
        QCOMPARE(QCoreApplication::translate("IC_HeadPage", "Home"), QStringLiteral("Home"));
    }

    void withoutAnEngineItOnlyLoads()
    {
        TranslatorControl alone;
        alone.loadLanguage(0);
        alone.loadLanguage(7);
        QCOMPARE(QCoreApplication::translate("IC_HeadPage", "Home"), QStringLiteral("Home"));
    }
};

QTEST_GUILESS_MAIN(TranslatorControlTest)
#include "translatorcontrol_test.moc"
