#pragma once

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <thread>

// A fresh application directory for the current test process: TAVRILL_APP_DIR points at it
// for as long as the object lives.
class TestAppDir {
public:
    TestAppDir();
    ~TestAppDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& relative) const { return m_dir.filePath(relative); }
    // Writes machine.ini with the given model name.
    void writeMachine(const QString& model) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// Polls cond until it holds or the deadline passes; processes Qt events in between.
bool waitFor(const std::function<bool()>& cond, int timeoutMs = 5000);
