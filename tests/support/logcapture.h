#pragma once
// Collects the program's debug messages (from any thread) while it lives.

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    bool contains(const QString& text) const;
    // Index of the first line containing text at or after from, -1 when none.
    int indexOf(const QString& text, int from = 0) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMessageHandler m_previous;
};
