#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QQmlError>
#include <QStringList>
#include <QVariantMap>

class QQmlEngine;

// What the page tests look at beside the pages: QML warnings (each one fails the test that
// raised it), the process log, the option files and the engine's scale factor. One per process,
// seen by QML as the context property "testProbe".
class TestProbe : public QObject {
    Q_OBJECT
public:
    static TestProbe* instance();
    // Puts the probe's message handler on top of whatever handler is installed now.
    static void install();
    void setEngine(QQmlEngine* engine);

    // Re-installs the handler on top (the test library installs its own when logging starts).
    Q_INVOKABLE void arm();
    // QML warnings since the last call; an expected one (see expectWarning) is not listed.
    Q_INVOKABLE QStringList takeWarnings();
    // The next warning containing text is expected and not counted.
    Q_INVOKABLE void expectWarning(const QString& text);
    // Messages of the process log that contain text, since the last clearLog().
    Q_INVOKABLE int logCount(const QString& text);
    Q_INVOKABLE void clearLog();
    // How often the door-release frame was written to the controller board.
    Q_INVOKABLE int doorReleaseFrames();
    // The virtual cabinet as its board left it: the lamp bits that are lit and the filter-wheel
    // position; the door and the gel-cutting cover as the board will report them.
    Q_INVOKABLE int cabinetLamps();
    Q_INVOKABLE int cabinetFilter();
    Q_INVOKABLE void setCabinetDoor(bool open, bool coverPlaced);
    // Where the scene is sharp for the board-driven lens, and where that lens stands.
    Q_INVOKABLE void setCabinetFocus(int bestFocus, int lensPosition);
    // The Tucsen camera's sensor is at this temperature now; its cooler goes on from there.
    Q_INVOKABLE void warmCamera(double celsius);
    // One value of an option file below the application folder ("" when missing).
    Q_INVOKABLE QString iniValue(const QString& file, const QString& key);
    Q_INVOKABLE void setIniValue(const QString& file, const QString& key, const QString& value);
    Q_INVOKABLE QString appDir() const;
    // Made when missing.
    Q_INVOKABLE QString screensDir() const;
    Q_INVOKABLE void setScaleRatio(double ratio);
    // The output of the sqlite3 command-line program running sql on a local-storage database of
    // the application folder (by its QML name); "" when the program cannot run.
    Q_INVOKABLE QString sqlite(const QString& databaseName, const QString& sql);
    // Standard output of a program (pdfinfo, pdftotext, ...); "" when it fails.
    Q_INVOKABLE QString run(const QString& program, const QStringList& arguments);
    // A stored experiment of the image library: count TIFF pictures under Images/<date>/<name>/
    // and its row in the mode's table; answers uuid, folder and files.
    Q_INVOKABLE QVariantMap addExperiment(int expMode, const QString& date, const QString& name, int count,
                                          int width = 64, int height = 48);
    // While held, the controller's signals reach no page: a controller that never answers.
    Q_INVOKABLE void holdControllerSignals(bool hold);

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    void record(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QMutex m_mutex;
    QStringList m_warnings;
    QStringList m_expected;
    QStringList m_engineErrors;
    QStringList m_log;
    QPointer<QQmlEngine> m_engine;
};
