#include "translatorcontrol.h"

#include "useropts.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QTranslator>

TranslatorControl::TranslatorControl(QObject* parent)
    : QObject(parent)
    , m_translator(new QTranslator(this))
{
}

TranslatorControl::~TranslatorControl() = default;

void TranslatorControl::setEngine(QCoreApplication* application, QQmlEngine* engine)
{
    m_application = application;
    m_engine = engine;
}

void TranslatorControl::loadLanguage(int language)
{
    if (language == UserOpts::Chinese || language == UserOpts::English) {
        if (m_application) {
            // Installing the same translator twice would stack it; take it out first.
            m_application->removeTranslator(m_translator);
        }
        if (language == UserOpts::Chinese)
            m_translator->load(QStringLiteral(":/zh_CN.qm"));
        else
            m_translator->load(QString());
        if (m_application)
            m_application->installTranslator(m_translator);
    }
    if (m_engine)
        m_engine->retranslate();
}
