#pragma once

#include <QObject>

class QCoreApplication;
class QQmlEngine;
class QTranslator;

// Switches the running interface between Chinese (":/zh_CN.qm") and the English source texts.
// The choice itself is the user option "language"; this class neither reads nor writes it.
class TranslatorControl : public QObject {
    Q_OBJECT
public:
    explicit TranslatorControl(QObject* parent = nullptr);
    ~TranslatorControl() override;

    // Neither object is owned.
    void setEngine(QCoreApplication* application, QQmlEngine* engine);

    // 0 Chinese, 1 English; any other value only re-evaluates the translated texts.
    Q_INVOKABLE void loadLanguage(int language);

private:
    QTranslator* m_translator;
    QCoreApplication* m_application = nullptr;
    QQmlEngine* m_engine = nullptr;
};
