// The daily log: line format, folder creation and whole lines from many threads at once.
#include "startup.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

QString logFolder()
{
    return QDir(qEnvironmentVariable("TAVRILL_APP_DIR")).filePath(QStringLiteral("logs"));
}

QString todaysLog()
{
    return logFolder() + QLatin1Char('/') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
        + QStringLiteral(".txt");
}

QStringList logLines()
{
    QFile file(todaysLog());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Sends the process's standard error to a temporary file for the life of the object.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { restore(); }
    QStringList lines()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// Routes messages to the log handler for the life of the object.
struct LogToFile {
    QtMessageHandler previous = qInstallMessageHandler(logMessageHandler);
    ~LogToFile() { qInstallMessageHandler(previous); }
};

} // namespace

TEST(Log, LineFormatPerMessageType)
{
    const QDateTime time(QDate(2026, 12, 9), QTime(8, 43, 35));
    const struct {
        QtMsgType type;
        const char* expected;
    } cases[] = {
        {QtDebugMsg, "[Debug]2026-12-09 08:43:35    a message\n"},
        {QtWarningMsg, "[Warning]2026-12-09 08:43:35    a message\n"},
        {QtCriticalMsg, "[Critical]2026-12-09 08:43:35    a message\n"},
        {QtFatalMsg, "[Fatal]2026-12-09 08:43:35    a message\n"},
        {QtInfoMsg, "2026-12-09 08:43:35    a message\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logLine(c.type, time, QStringLiteral("a message")), QString::fromLatin1(c.expected)) << c.expected;
}

TEST(Log, MessagesOfEveryTypeReachTodaysFileInDebugStreamStyle)
{
    QDir(logFolder()).removeRecursively();
    {
        LogToFile redirect;
        qDebug() << "仪器名:" << QStringLiteral("S60");
        qInfo() << "plain info";
        qWarning() << "检测到" << 2 << "个图片文件，开始删除...";
        qCritical("critical %d", 7);
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4);
    const QString time = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}    ");
    const QString expected[] = {
        QStringLiteral("^\\[Debug\\]") + time + QStringLiteral("仪器名: \"S60\"$"),
        QStringLiteral("^") + time + QStringLiteral("plain info$"),
        QStringLiteral("^\\[Warning\\]") + time + QStringLiteral("检测到 2 个图片文件，开始删除\\.\\.\\.$"),
        QStringLiteral("^\\[Critical\\]") + time + QStringLiteral("critical 7$"),
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(QRegularExpression(expected[i]).match(lines[i]).hasMatch()) << lines[i].toStdString();
}

TEST(Log, DeletedFolderIsCreatedAgainByTheNextMessage)
{
    LogToFile redirect;
    qDebug() << "first";
    ASSERT_TRUE(QFile::exists(todaysLog()));
    ASSERT_TRUE(QDir(logFolder()).removeRecursively());
    qDebug() << "second";
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("    second")));
}

TEST(Log, ManyThreadsWriteWholeLines)
{
    QDir(logFolder()).removeRecursively();
    constexpr int kThreads = 8;
    constexpr int kMessages = 300;
    {
        LogToFile redirect;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back(QThread::create([t] {
                // Long, varied lines make a torn write visible.
                const QString payload = QString(100 + 37 * t, QChar(u'a' + t));
                for (int i = 0; i < kMessages; ++i)
                    qDebug().noquote() << QStringLiteral("T%1 #%2 %3 end").arg(t).arg(i).arg(payload);
            }));
        }
        for (auto& thread : threads)
            thread->start();
        for (auto& thread : threads)
            ASSERT_TRUE(thread->wait(60000));
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), kThreads * kMessages);
    const QRegularExpression whole(QStringLiteral(
        "^\\[Debug\\]\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}    T(\\d) #(\\d+) ([a-h]+) end$"));
    std::vector<std::vector<bool>> seen(kThreads, std::vector<bool>(kMessages, false));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = whole.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.left(200).toStdString();
        const int t = m.captured(1).toInt();
        const int i = m.captured(2).toInt();
        ASSERT_LT(t, kThreads);
        ASSERT_LT(i, kMessages);
        EXPECT_EQ(m.captured(3), QString(100 + 37 * t, QChar(u'a' + t)));
        seen[size_t(t)][size_t(i)] = true;
    }
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kMessages; ++i)
            EXPECT_TRUE(seen[size_t(t)][size_t(i)]) << "lost T" << t << " #" << i;
}

TEST(Log, UnwritableLogSendsTheLinesToStandardErrorAndGoesOn)
{
    QDir(logFolder()).removeRecursively();
    {
        // The folder's name is taken by a plain file: nothing can be created or opened there.
        QFile blocker(logFolder());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    QStringList standardError;
    {
        StandardErrorCapture capture;
        LogToFile redirect;
        qDebug() << "not in the file";
        qWarning() << "日志 too";
        standardError = capture.lines();
    }
    ASSERT_EQ(standardError.size(), 2) << standardError.join('\n').toStdString();
    const QString time = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}    ");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\[Debug\\]") + time + QStringLiteral("not in the file$"))
                    .match(standardError[0])
                    .hasMatch())
        << standardError[0].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\[Warning\\]") + time + QStringLiteral("日志 too$"))
                    .match(standardError[1])
                    .hasMatch())
        << standardError[1].toStdString();

    // Once the folder can be made again, lines go to the file and no longer to standard error.
    QFile::remove(logFolder());
    {
        StandardErrorCapture capture;
        LogToFile redirect;
        qDebug() << "kept";
        EXPECT_EQ(capture.lines(), QStringList());
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("    kept")));
}

// A disk that fills in the middle of a line (here: a file-size limit just past the file's end)
// takes part of it: that piece is taken back, the line goes to standard error, and the next line
// starts a line of its own in the file.
TEST(Log, LineCutByAFullDiskIsNotJoinedToTheNext)
{
    QDir(logFolder()).removeRecursively();
    // Long enough that the limit, which holds for every file of the process, leaves room for
    // the captured standard error.
    const QString before(3000, QLatin1Char('b'));
    {
        LogToFile redirect;
        qDebug().noquote() << before;
    }
    const qint64 size = QFileInfo(todaysLog()).size();
    ASSERT_GT(size, 0);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previousAction {};
    sigaction(SIGXFSZ, &ignore, &previousAction);
    rlimit previousLimit {};
    getrlimit(RLIMIT_FSIZE, &previousLimit);
    rlimit limit = previousLimit;
    limit.rlim_cur = rlim_t(size + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    QStringList standardError;
    {
        StandardErrorCapture capture;
        LogToFile redirect;
        qDebug() << "a line longer than the room left on the disk";
        standardError = capture.lines();
    }
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    sigaction(SIGXFSZ, &previousAction, nullptr);
    ASSERT_EQ(standardError.size(), 1);
    EXPECT_TRUE(standardError[0].endsWith(QStringLiteral("    a line longer than the room left on the disk")));
    {
        LogToFile redirect;
        qDebug() << "after";
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("    ") + before));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\[Debug\\]\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}    after$"))
                    .match(lines[1])
                    .hasMatch())
        << lines[1].toStdString();
}
