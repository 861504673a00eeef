#include "testappdir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

TestAppDir::TestAppDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/tavrill-test-XXXXXX"))
    , m_previous(qgetenv("TAVRILL_APP_DIR"))
{
    qputenv("TAVRILL_APP_DIR", m_dir.path().toLocal8Bit());
}

TestAppDir::~TestAppDir()
{
    if (m_previous.isEmpty())
        qunsetenv("TAVRILL_APP_DIR");
    else
        qputenv("TAVRILL_APP_DIR", m_previous);
}

void TestAppDir::writeMachine(const QString& model) const
{
    QFile file(filePath(QStringLiteral("machine.ini")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write("[Machine]\nMachineName=" + model.toUtf8() + "\n");
}

bool waitFor(const std::function<bool()>& cond, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired())
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}
