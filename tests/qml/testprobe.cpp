#include "testprobe.h"

#include "boardtestcontrol.h"
#include "cabinetstate.h"
#include "devicecmd.h"
#include "ic_maincontrol.h"
#include "kestrix64_test.h"
#include "imageexport.h"
#include "libraryfixture.h"
#include "modbusmaster.h"
#include "tucam_test.h"
#include "virtualboard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QColor>
#include <QImage>
#include <QFile>
#include <QProcess>
#include <QMutexLocker>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <opencv2/imgcodecs.hpp>

namespace {
QtMessageHandler g_previous = nullptr;

// Warnings of the QML engine name their document ("qrc:/…" or "file:…") first or in the
// context; component and expression errors have prefixes of their own.
bool isQmlWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return false;
    const QString file = QString::fromUtf8(context.file ? context.file : "");
    return message.startsWith(QLatin1String("qrc:")) || message.startsWith(QLatin1String("file:"))
        || file.startsWith(QLatin1String("qrc:")) || file.startsWith(QLatin1String("file:"))
        || message.startsWith(QLatin1String("QQmlComponent")) || message.startsWith(QLatin1String("QQmlExpression"))
        || message.contains(QLatin1String("Binding loop"));
}
} // namespace

TestProbe* TestProbe::instance()
{
    // Never destroyed: threads of the controller still log while the process ends.
    static TestProbe* probe = new TestProbe;
    return probe;
}

void TestProbe::install()
{
    instance()->arm();
}

void TestProbe::arm()
{
    const QtMessageHandler previous = qInstallMessageHandler(&TestProbe::handler);
    if (previous != &TestProbe::handler)
        g_previous = previous;
}

void TestProbe::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    instance()->record(type, context, message);
    // The controller's debug lines would drown the test output; warnings still show.
    if (type != QtDebugMsg && type != QtInfoMsg && g_previous)
        g_previous(type, context, message);
}

void TestProbe::record(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QMutexLocker locker(&m_mutex);
    m_log << message;
    if (!isQmlWarning(type, context, message))
        return;
    for (int i = 0; i < m_expected.size(); ++i) {
        if (message.contains(m_expected[i])) {
            m_expected.removeAt(i);
            return;
        }
    }
    QString where = QString::fromUtf8(context.file ? context.file : "");
    if (!where.isEmpty() && !message.startsWith(where))
        where = where + QLatin1Char(':') + QString::number(context.line) + QLatin1String(": ");
    else
        where.clear();
    m_warnings << where + message;
}

void TestProbe::setEngine(QQmlEngine* engine)
{
    m_engine = engine;
    // Errors the engine reports without printing them (its own output may be switched off).
    connect(engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError>& errors) {
        QMutexLocker locker(&m_mutex);
        for (const QQmlError& error : errors)
            m_engineErrors << error.toString();
    });
}

QStringList TestProbe::takeWarnings()
{
    QMutexLocker locker(&m_mutex);
    QStringList taken;
    taken.swap(m_warnings);
    // An engine error that also reached the message handler is listed once.
    for (const QString& error : qAsConst(m_engineErrors)) {
        bool known = false;
        for (const QString& warning : qAsConst(taken))
            known = known || warning.contains(error) || error.contains(warning);
        bool expected = false;
        for (int i = 0; i < m_expected.size() && !expected; ++i) {
            if (error.contains(m_expected[i])) {
                m_expected.removeAt(i);
                expected = true;
            }
        }
        if (!known && !expected)
            taken << error;
    }
    m_engineErrors.clear();
    return taken;
}

void TestProbe::expectWarning(const QString& text)
{
    QMutexLocker locker(&m_mutex);
    m_expected << text;
}

int TestProbe::logCount(const QString& text)
{
    QMutexLocker locker(&m_mutex);
    int count = 0;
    for (const QString& line : qAsConst(m_log))
        if (line.contains(text))
            ++count;
    return count;
}

void TestProbe::clearLog()
{
    QMutexLocker locker(&m_mutex);
    m_log.clear();
}

int TestProbe::doorReleaseFrames()
{
    return boardFrames(CmdGelLight, DoorEject);
}

int TestProbe::boardFrames(int command, int value)
{
    const QString frame = QString::fromLatin1(
        ModbusMaster::packFrame(static_cast<Ctrl_Bits>(command), 1, static_cast<Data_Bits>(value)).toHex());
    QMutexLocker locker(&m_mutex);
    int count = 0;
    for (const QString& line : qAsConst(m_log))
        if (line.startsWith(QStringLiteral("发送数据:")) && line.contains(frame))
            ++count;
    return count;
}

void TestProbe::ignoreBoardRequests(int command, int count)
{
    vboard::BoardTestControl(vboard::VirtualBoard::processBoard()).ignoreRequests(quint8(command), count);
}

void TestProbe::delayBoardRequests(int command, int delayMs, int count)
{
    vboard::BoardTestControl(vboard::VirtualBoard::processBoard()).delayRequests(quint8(command), delayMs, count);
}

int TestProbe::cabinetLamps()
{
    return int(vcab::CabinetState::instance().snapshot().lamps);
}

int TestProbe::cabinetFilter()
{
    return vcab::CabinetState::instance().snapshot().filterPos;
}

void TestProbe::setCabinetDoor(bool open, bool coverPlaced)
{
    vcab::CabinetState::instance().update([open, coverPlaced](vcab::CabinetSnapshot& s) {
        s.doorOpen = open;
        s.coverPlaced = coverPlaced;
    });
}

void TestProbe::setCabinetFocus(int bestFocus, int lensPosition)
{
    vcab::CabinetState::instance().update([bestFocus, lensPosition](vcab::CabinetSnapshot& s) {
        s.bestFocus = bestFocus;
        s.serialFocus = lensPosition;
        s.fixedLens = false;
    });
}

void TestProbe::scriptKestrixTemperature(int hundredths, int count)
{
    const std::vector<int16_t> values(size_t(qMax(0, count)), int16_t(hundredths));
    kxtest_script_temperatures(values.empty() ? nullptr : values.data(), int32_t(values.size()));
}

void TestProbe::warmCamera(double celsius)
{
    tucamtest::setSensorTemperature(celsius);
}

double TestProbe::longestCameraExposure()
{
    return tucamtest::state().longestExposureMs;
}

void TestProbe::clearLongestCameraExposure()
{
    tucamtest::clearLongestExposure();
}

QString TestProbe::iniValue(const QString& file, const QString& key)
{
    QSettings settings(QDir(appDir()).filePath(file), QSettings::IniFormat);
    return settings.value(key).toString();
}

void TestProbe::setIniValue(const QString& file, const QString& key, const QString& value)
{
    QSettings settings(QDir(appDir()).filePath(file), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

QString TestProbe::appDir() const
{
    return qEnvironmentVariable("TAVRILL_APP_DIR");
}

QString TestProbe::screensDir() const
{
    QDir().mkpath(QStringLiteral(TAVRILL_SCREENS_DIR));
    return QStringLiteral(TAVRILL_SCREENS_DIR);
}

void TestProbe::setScaleRatio(double ratio)
{
    if (m_engine)
        m_engine->rootContext()->setContextProperty(QStringLiteral("scaleRatio"), ratio);
}


QString TestProbe::sqlite(const QString& databaseName, const QString& sql)
{
    // Local storage keeps a database in Databases/<md5 of its name>.sqlite below the engine's
    // offline storage path, which the runner sets to the application folder.
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(databaseName.toUtf8(), QCryptographicHash::Md5).toHex());
    const QString file = QDir(appDir()).filePath(QStringLiteral("Databases/") + hash + QStringLiteral(".sqlite"));
    return run(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file, sql}).trimmed();
}

QString TestProbe::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestProbe::holdControllerSignals(bool hold)
{
    IC_MainControl::getInstance()->blockSignals(hold);
}

void TestProbe::setReportTemplate(const QString& templateFile)
{
    IC_MainControl::getInstance()->setReportTemplate(templateFile);
}

bool TestProbe::isTiffAt(const QString& path, int dpi)
{
    return isPlainTiffAt(path, dpi);
}

QString TestProbe::pictureSize(const QString& path)
{
    const cv::Mat picture = cv::imread(QFile::encodeName(path).toStdString(), cv::IMREAD_UNCHANGED);
    return picture.empty() ? QString() : QStringLiteral("%1x%2").arg(picture.cols).arg(picture.rows);
}

QVariantMap TestProbe::addExperiment(int expMode, const QString& date, const QString& name, int count, int width,
                                     int height)
{
    const PreparedExperiment prepared = ::addExperiment(expMode, date, name, count, width, height);
    return {{QStringLiteral("uuid"), prepared.uuid},
            {QStringLiteral("folder"), prepared.folder},
            {QStringLiteral("files"), prepared.files}};
}

QVariantMap TestProbe::pictureStats(const QVariant& image, int x, int y, int width, int height)
{
    const QImage picture = image.value<QImage>().convertToFormat(QImage::Format_ARGB32);
    const QRect area = width > 0 ? QRect(x, y, width, height).intersected(picture.rect()) : picture.rect();
    qint64 painted = 0;
    double sum = 0, red = 0, green = 0, blue = 0;
    // Pixels where one channel stands out: red over both others, blue over both others, any.
    qint64 reddish = 0, bluish = 0, coloured = 0;
    // Tells two pictures apart: FNV-1a over the painted pixels and their places.
    quint64 digest = 1469598103934665603ull;
    int left = -1, top = -1, right = -1, bottom = -1;
    for (int py = area.top(); py <= area.bottom(); ++py) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(py));
        for (int px = area.left(); px <= area.right(); ++px) {
            if (qAlpha(line[px]) == 0)
                continue;
            ++painted;
            sum += qGray(line[px]);
            red += qRed(line[px]);
            green += qGreen(line[px]);
            blue += qBlue(line[px]);
            const int r = qRed(line[px]), g = qGreen(line[px]), b = qBlue(line[px]);
            reddish += r > g + 24 && r > b + 24;
            bluish += b > r + 24 && b > g + 24;
            coloured += std::max({r, g, b}) - std::min({r, g, b}) > 24;
            for (const quint64 v : {quint64(line[px]), quint64(px), quint64(py)})
                digest = (digest ^ v) * 1099511628211ull;
            left = left < 0 ? px : std::min(left, px);
            right = std::max(right, px);
            top = top < 0 ? py : top;
            bottom = py;
        }
    }
    return {{QStringLiteral("painted"), painted},
            {QStringLiteral("mean"), painted > 0 ? sum / double(painted) : 0.0},
            {QStringLiteral("red"), painted > 0 ? red / double(painted) : 0.0},
            {QStringLiteral("green"), painted > 0 ? green / double(painted) : 0.0},
            {QStringLiteral("blue"), painted > 0 ? blue / double(painted) : 0.0},
            {QStringLiteral("digest"), QString::number(digest, 16)},
            {QStringLiteral("reddish"), reddish},
            {QStringLiteral("bluish"), bluish},
            {QStringLiteral("coloured"), coloured},
            {QStringLiteral("left"), left},
            {QStringLiteral("top"), top},
            {QStringLiteral("right"), right},
            {QStringLiteral("bottom"), bottom},
            {QStringLiteral("width"), picture.width()},
            {QStringLiteral("height"), picture.height()}};
}

void TestProbe::answerColourChoice(const QString& colour)
{
    const QColor answer(colour);
    IC_MainControl::getInstance()->images->setColorChooser([answer](const QColor&, const QString&) { return answer; });
}
