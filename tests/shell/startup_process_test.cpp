// The program as a process: single instance, stray-file clean-up, model defaults and the loaded
// window. Each start gets its own application directory and runtime folder (the lock's home).
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int kStartTimeoutMs = 30000;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Takes write permission from a folder while it lives, and gives it back.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path)
        : m_path(path)
        , m_permissions(QFile::permissions(path))
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    }
    ~ReadOnlyFolder() { QFile::setPermissions(m_path, m_permissions); }

private:
    const QString m_path;
    const QFile::Permissions m_permissions;
};

QStringList sortedKeys(const QString& file, const QString& group)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(group);
    QStringList keys = settings.childKeys();
    keys.sort();
    return keys;
}

// One application directory and runtime folder; starts of the program share them.
class Cabinet {
public:
    Cabinet() = default;
    ~Cabinet()
    {
        for (auto& process : m_processes) {
            process->kill();
            process->waitForFinished(kStartTimeoutMs);
        }
    }

    QString appFile(const QString& relative) const { return m_appDir.filePath(relative); }
    QString log() const
    {
        return appFile(QStringLiteral("logs/") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                       + QStringLiteral(".txt"));
    }

    QString appDir() const { return m_appDir.path(); }

    QProcess* start(QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAVRILL_APP_DIR"), m_appDir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The render loop logs each frame: a rendered frame means the window loaded and the
        // event loop runs.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.scenegraph.time.renderloop=true"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(channels);
        process->start(QStringLiteral(TAVRILL_EXECUTABLE), QStringList());
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // True once the process has rendered its window; false when it ended or the deadline passed.
    bool waitForWindow(QProcess* process)
    {
        QDeadlineTimer deadline(kStartTimeoutMs);
        while (!deadline.hasExpired()) {
            if (readAll(log()).contains("Frame rendered"))
                return process->state() == QProcess::Running;
            if (process->state() == QProcess::NotRunning)
                return false;
            process->waitForFinished(20);
        }
        return false;
    }

private:
    QTemporaryDir m_appDir;
    QTemporaryDir m_runtimeDir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace

class StartupProcessTest : public QObject {
    Q_OBJECT

private slots:
    void fullStartOnS60()
    {
        Cabinet cabinet;
        writeFile(cabinet.appFile(QStringLiteral("machine.ini")), "[Machine]\nMachineName=S60\n");
        for (const char* name : {"a.xml", "b.xml", "c.tif"})
            writeFile(cabinet.appFile(QString::fromLatin1(name)), "x");

        QProcess* first = cabinet.start();
        QVERIFY(cabinet.waitForWindow(first));

        const QByteArray log = readAll(cabinet.log());
        QVERIFY2(log.contains("仪器名: \"S60\"\n"), log.constData());
        // No board is plugged in here: the virtual cabinet start-up chose answers the handshake.
        QTRY_VERIFY_WITH_TIMEOUT(readAll(cabinet.log()).contains("握手成功。"), kStartTimeoutMs);
        QVERIFY(!QFile::exists(cabinet.appFile(QStringLiteral("a.xml"))));
        QVERIFY(!QFile::exists(cabinet.appFile(QStringLiteral("b.xml"))));
        QVERIFY(QFile::exists(cabinet.appFile(QStringLiteral("c.tif"))));

        const QString userFile = cabinet.appFile(QStringLiteral("Ini/userOption.ini"));
        QCOMPARE(sortedKeys(userFile, QStringLiteral("UserOption")),
                 (QStringList{"alreadyEnterGM", "alreadyEnterRM", "alreadyEnterUM", "bluePercent", "focusCurrentAddr",
                              "histLevelPercent", "imageCleanTime", "imageSavePath", "lightAutoShutDownTime",
                              "multiCapCount", "multiCapDeltaTime", "multiCapDeltaTimeUnit", "multiCapFirstTime",
                              "multiCapFirstTimeUnit", "singleCapExpTime"}));
        QSettings user(userFile, QSettings::IniFormat);
        QCOMPARE(user.value(QStringLiteral("UserOption/lightAutoShutDownTime")).toString(), QStringLiteral("5"));
        QCOMPARE(user.value(QStringLiteral("UserOption/imageCleanTime")).toString(), QStringLiteral("7"));
        const QString camFile = cabinet.appFile(QStringLiteral("Ini/camOption.ini"));
        const QStringList camKeys = sortedKeys(camFile, QStringLiteral("CamOption"));
        QCOMPARE(camKeys.size(), 27);
        QVERIFY(!camKeys.contains(QStringLiteral("WBQIDefBinning")));
        QSettings cam(camFile, QSettings::IniFormat);
        QCOMPARE(cam.value(QStringLiteral("CamOption/GelTSCurBinning")).toString(), QStringLiteral("1"));
        QCOMPARE(cam.value(QStringLiteral("CamOption/MultTSCurExposurePre")).toString(), QStringLiteral("50"));

        // A second start ends at once with -1 and leaves the log as it was.
        const QByteArray logBefore = readAll(cabinet.log());
        QProcess* second = cabinet.start();
        QVERIFY(second->waitForFinished(kStartTimeoutMs));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 255);
        QCOMPARE(first->state(), QProcess::Running);
        // The first keeps logging frames; the second must have added nothing before them.
        const QByteArray logAfter = readAll(cabinet.log());
        QVERIFY(logAfter.startsWith(logBefore));
        QVERIFY(!logAfter.mid(logBefore.size()).contains("program already start."));
        QVERIFY(!logAfter.mid(logBefore.size()).contains("仪器名"));
    }

    void unwritableFolderEndsWithTheFatalMessageOnStandardError()
    {
        Cabinet cabinet;
        writeFile(cabinet.appFile(QStringLiteral("machine.ini")), "[Machine]\nMachineName=S60\n");
        // Plain files where the log and database folders belong: neither can be made, also not
        // by root, whom the read-only permission below does not stop.
        writeFile(cabinet.appFile(QStringLiteral("logs")), "");
        writeFile(cabinet.appFile(QStringLiteral("Databases")), "");
        ReadOnlyFolder readOnly(cabinet.appDir());

        QProcess* process = cabinet.start(QProcess::SeparateChannels);
        QVERIFY(process->waitForFinished(kStartTimeoutMs));
        // The fatal message aborts the process.
        QCOMPARE(process->exitStatus(), QProcess::CrashExit);
        const QStringList lines =
            QString::fromUtf8(process->readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString time = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}    ");
        const int connect = lines.indexOf(
            QRegularExpression(QStringLiteral("^\\[Debug\\]") + time + QStringLiteral("连接数据库Experiment\\.db\\.$")));
        const int fatal = lines.indexOf(
            QRegularExpression(QStringLiteral("^\\[Fatal\\]") + time + QStringLiteral("Experiment\\.db打开失败。 .+")));
        QVERIFY2(connect >= 0 && fatal > connect, qPrintable(lines.join(QLatin1Char('\n'))));
        QCOMPARE(fatal, lines.size() - 1);
        // The operator learns which folder and what is wrong with it, in both languages.
        const QString databases = QDir(cabinet.appDir()).filePath(QStringLiteral("Databases"));
        QVERIFY2(lines[fatal].contains(QStringLiteral("文件夹不存在且无法创建：") + databases), qPrintable(lines[fatal]));
        QVERIFY2(lines[fatal].contains(QStringLiteral("The folder is missing and cannot be created: ") + databases),
                 qPrintable(lines[fatal]));
        QVERIFY(!QFileInfo(cabinet.appFile(QStringLiteral("logs"))).isDir());
    }

    void lockGoesWithTheProcess()
    {
        Cabinet cabinet;
        writeFile(cabinet.appFile(QStringLiteral("machine.ini")), "[Machine]\nMachineName=S40Plus\n");
        QProcess* first = cabinet.start();
        QVERIFY(cabinet.waitForWindow(first));
        first->kill();
        QVERIFY(first->waitForFinished(kStartTimeoutMs));
        QFile::remove(cabinet.log());
        QProcess* again = cabinet.start();
        QVERIFY(cabinet.waitForWindow(again));
    }

    void unknownModelStillShowsTheWindow_data()
    {
        QTest::addColumn<QByteArray>("machineIni"); // empty: no file
        QTest::addColumn<QByteArray>("logged");
        QTest::newRow("lower case") << QByteArray("[Machine]\nMachineName=s60\n") << QByteArray("\"s60\"");
        QTest::newRow("trailing blank") << QByteArray("[Machine]\nMachineName=\"S60 \"\n")
                                        << QByteArray("\"S60 \"");
        QTest::newRow("empty value") << QByteArray("[Machine]\nMachineName=\n") << QByteArray("\"\"");
        QTest::newRow("no file") << QByteArray() << QByteArray("\"\"");
    }

    void unknownModelStillShowsTheWindow()
    {
        QFETCH(QByteArray, machineIni);
        QFETCH(QByteArray, logged);
        Cabinet cabinet;
        if (!machineIni.isEmpty())
            writeFile(cabinet.appFile(QStringLiteral("machine.ini")), machineIni);
        QProcess* process = cabinet.start();
        QVERIFY(cabinet.waitForWindow(process));
        QVERIFY(readAll(cabinet.log()).contains("仪器名: " + logged + "\n"));
        // No model defaults: only the display setting the Tucsen camera controller reads at
        // construction, and what the device settings page keeps in range when it is made (the
        // image folder, the clean-up age and the light shut-down time).
        QCOMPARE(sortedKeys(cabinet.appFile(QStringLiteral("Ini/userOption.ini")), QStringLiteral("UserOption")),
                 (QStringList {"alreadyEnterGM", "alreadyEnterRM", "alreadyEnterUM", "histLevelPercent", "imageCleanTime",
                               "imageSavePath", "lightAutoShutDownTime"}));
        QSettings user(cabinet.appFile(QStringLiteral("Ini/userOption.ini")), QSettings::IniFormat);
        QCOMPARE(user.value(QStringLiteral("UserOption/imageCleanTime")).toString(), QStringLiteral("7"));
        QCOMPARE(user.value(QStringLiteral("UserOption/lightAutoShutDownTime")).toString(), QStringLiteral("1"));
        QVERIFY(user.value(QStringLiteral("UserOption/imageSavePath")).toString().endsWith(QStringLiteral("/UserImages")));
        QVERIFY(!QFile::exists(cabinet.appFile(QStringLiteral("Ini/camOption.ini"))));
    }
};

QTEST_GUILESS_MAIN(StartupProcessTest)
#include "startup_process_test.moc"
