#include "logcapture.h"

namespace {
QMutex g_mutex;
QStringList g_lines;
} // namespace

LogCapture::LogCapture()
{
    clear();
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
}

void LogCapture::handler(QtMsgType, const QMessageLogContext&, const QString& message)
{
    QMutexLocker lock(&g_mutex);
    g_lines << message;
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&g_mutex);
    return g_lines;
}

bool LogCapture::contains(const QString& text) const
{
    return indexOf(text) >= 0;
}

int LogCapture::indexOf(const QString& text, int from) const
{
    const QStringList all = lines();
    for (int i = from; i < all.size(); ++i) {
        if (all[i].contains(text))
            return i;
    }
    return -1;
}

void LogCapture::clear()
{
    QMutexLocker lock(&g_mutex);
    g_lines.clear();
}
