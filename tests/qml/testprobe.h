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
    // How often the one-byte frame of command with that value was written to the board.
    Q_INVOKABLE int boardFrames(int command, int value);
    // The board misses the next count requests of that command: read, not answered, not done.
    Q_INVOKABLE void ignoreBoardRequests(int command, int count);
    // The board carries out and answers the next count requests of that command delayMs late.
    Q_INVOKABLE void delayBoardRequests(int command, int delayMs, int count);
    // The virtual cabinet as its board left it: the lamp bits that are lit and the filter-wheel
    // position; the door and the gel-cutting cover as the board will report them.
    Q_INVOKABLE int cabinetLamps();
    Q_INVOKABLE int cabinetFilter();
    Q_INVOKABLE void setCabinetDoor(bool open, bool coverPlaced);
    // Where the scene is sharp for the board-driven lens, and where that lens stands.
    Q_INVOKABLE void setCabinetFocus(int bestFocus, int lensPosition);
    // The next count temperature readings of the Kestrix camera, in hundredths of a degree
    // (count 0 returns it to its cooling curve).
    Q_INVOKABLE void scriptKestrixTemperature(int hundredths, int count);
    // The Tucsen camera's sensor is at this temperature now; its cooler goes on from there.
    Q_INVOKABLE void warmCamera(double celsius);
    // The longest exposure of a frame the Tucsen camera delivered since the last clear.
    Q_INVOKABLE double longestCameraExposure();
    Q_INVOKABLE void clearLongestCameraExposure();
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
    // The painted pixels of a grabbed item (ItemGrabResult.image) inside x, y, width, height
    // (the whole image when width is 0): painted = how many are not transparent, mean = their
    // mean grey level and red, green, blue their mean channels (0..255), digest = a checksum of
    // them, reddish, bluish and coloured = how many have red, blue or any channel standing out
    // (by more than 24 levels), and the bounding box of the painted ones (left, top, right, bottom; -1 when none).
    // The colour the next colour question of the image operations answers (the system's own
    // dialog would wait for an operator).
    Q_INVOKABLE void answerColourChoice(const QString& colour);
    Q_INVOKABLE QVariantMap pictureStats(const QVariant& image, int x = 0, int y = 0, int width = 0, int height = 0);
    // The template the controller's reports fill ("" for the one beside the program).
    Q_INVOKABLE void setReportTemplate(const QString& templateFile);
    // An uncompressed TIFF tagged with dpi in both directions, and its size ("WxH", "" when unreadable).
    Q_INVOKABLE bool isTiffAt(const QString& path, int dpi);
    Q_INVOKABLE QString pictureSize(const QString& path);

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
