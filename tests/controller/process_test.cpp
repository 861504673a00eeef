// The program itself on the virtual cabinet, offscreen: the bring-up of model S60 as its log
// shows it, with the board answering and with the board silent.
#include <QDate>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kTimeoutMs = 30000;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class ProcessTest : public QObject {
    Q_OBJECT

private slots:
    void s60BringUp_data()
    {
        QTest::addColumn<QString>("boardFault");
        QTest::addColumn<QByteArray>("until");       // the log line that ends the bring-up
        QTest::addColumn<QList<QByteArray>>("present");
        QTest::addColumn<QList<QByteArray>>("absent");
        QTest::newRow("board answers") << QString() << QByteArray("初始化S60成功。")
                                       << QList<QByteArray> {"握手成功。", "打开相机成功。"}
                                       << QList<QByteArray> {"errorCode:", "初始化和打开H695ICE相机失败。"};
        QTest::newRow("board silent") << QStringLiteral("silent") << QByteArray("errorCode: EnumOBJ::CommunicateErr")
                                      << QList<QByteArray> {"打开相机成功。", "初始化串口失败。"}
                                      << QList<QByteArray> {"握手成功。", "初始化S60成功。"};
    }

    void s60BringUp()
    {
        QFETCH(QString, boardFault);
        QFETCH(QByteArray, until);
        QFETCH(QList<QByteArray>, present);
        QFETCH(QList<QByteArray>, absent);

        QTemporaryDir appDir;
        QTemporaryDir runtimeDir;
        {
            QFile machine(appDir.filePath(QStringLiteral("machine.ini")));
            QVERIFY(machine.open(QIODevice::WriteOnly));
            machine.write("[Machine]\nMachineName=S60\n");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAVRILL_APP_DIR"), appDir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!boardFault.isEmpty())
            env.insert(QStringLiteral("TAVRILL_VIRTUAL_BOARD"), boardFault);
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(TAVRILL_EXECUTABLE), QStringList());
        QVERIFY(program.waitForStarted(kTimeoutMs));

        const QString logFile = appDir.filePath(QStringLiteral("logs/")
                                                + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                                                + QStringLiteral(".txt"));
        QDeadlineTimer deadline(kTimeoutMs);
        QByteArray log;
        while (!deadline.hasExpired() && program.state() == QProcess::Running) {
            log = readAll(logFile);
            if (log.contains(until))
                break;
            program.waitForFinished(20);
        }
        QVERIFY2(log.contains(until), log.constData());
        // Lines written after the one that ended the wait (the camera thread, the bring-up's own
        // last words) reach the file a little later.
        for (const QByteArray& line : present)
            QTRY_VERIFY2_WITH_TIMEOUT(readAll(logFile).contains(line), line.constData(), kTimeoutMs);
        log = readAll(logFile);
        program.kill();
        program.waitForFinished(kTimeoutMs);

        for (const QByteArray& line : absent)
            QVERIFY2(!log.contains(line), line.constData());
    }
};

QTEST_GUILESS_MAIN(ProcessTest)
#include "process_test.moc"
