#include "wbqifixture.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "experimentrecord.h"
#include "testappdir.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QSerialPort>

void QiCabinet::SetUp()
{
    vcab::CabinetState::instance().reset();
    kxtest_reset();
    log = std::make_unique<LogCapture>();
    kx = KestrixCtrl::getInstance();
    ASSERT_TRUE(kx->initCamera());
    ctx = kx->context();
    kx->clearFrames();
    kx->setLiveFrame(nullptr);
    kx->singleCaptureVisible = true;
    setBinning(4);
    ctx->gainIndex = 3;
    ctx->exposureTime = 40;
    ctx->previewAbort = false;
    ctx->captureAbort = false;
    ctx->estimateAbort = false;

    opts = UserOpts::getInstance();
    auto set = [this](UserOpts::UserOptType t, const std::function<void(UserOpts*)>& f) { setOption(t, f); };
    set(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
    set(UserOpts::OPT_IntelligentAnalysis, [](UserOpts* o) { o->setIntelligentAnalysis(UserOpts::CloseSensitivity); });
    set(UserOpts::OPT_SampleImageBkColor, [](UserOpts* o) { o->setSampleImageBkColor(UserOpts::Black); });
    set(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
    set(UserOpts::OPT_IntegralAccumulate, [](UserOpts* o) { o->setIntegralAccumulate(false); });
    set(UserOpts::OPT_MultiCapExpTimesChanged, [](UserOpts* o) { o->setMultiCapExpTimesChanged(false); });
    set(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(0); });

    board = std::make_unique<vboard::VirtualBoard>();
    ASSERT_TRUE(board->start());
    control = std::make_unique<vboard::BoardTestControl>(*board);
    link = std::make_unique<ASyncSerialPortThread>();
    link->openPort(QString::fromStdString(board->slavePath()), QSerialPort::Baud1200);
    light = std::make_unique<LightCtrl>(link.get(), nullptr);
    db = WesternBlotExperimentDB::getInstance();
    kxtest_clear_call_log();
    log->clear();
}

void QiCabinet::TearDown()
{
    kx->closeCamera();
    kx->clearFrames();
    kx->setLiveFrame(nullptr);
    light.reset();
    link.reset();
    control.reset();
    board.reset();
    log.reset();
    kxtest_reset();
}

void QiCabinet::setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(opts);
    opts->saveUserOptsByName(type);
}

void QiCabinet::setBinning(int binning)
{
    const uint16_t b = uint16_t(binning);
    ctx->region = rgn_type {0, 2687, b, 0, 2199, b};
}

void QiCabinet::insertExperiment(const QString& name)
{
    expName = name;
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    folder = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
    userFolder = opts->imageSavePath() + "/" + date + "/" + name + "/";
    WesternBlotExperimentRecord record;
    record.userName = QStringLiteral("tester");
    record.expType = 1;
    record.name = name;
    record.date = date;
    record.dateTime = QDateTime::currentDateTime();
    record.imageSavePath = folder;
    record.binning = QStringLiteral("%1*%1").arg(ctx->region.pbin);
    ASSERT_TRUE(db->insertExperiment(&record));
    kx->expName = name;
}

QStringList QiCabinet::lightCommands() const
{
    QStringList out;
    for (const QByteArray& f : control->receivedFrames()) {
        if (f.size() < 5 || quint8(f[2]) != 0xF2)
            continue;
        out << f.mid(4, quint8(f[3])).toHex(' ');
    }
    return out;
}

bool QiCabinet::waitForLightCommands(int count, int timeoutMs) const
{
    return waitFor([&] { return lightCommands().size() >= count; }, timeoutMs);
}

bool QiCabinet::runToEnd(QThread& thread, int timeoutMs)
{
    const bool ended = waitFor([&] { return thread.isFinished(); }, timeoutMs);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ended;
}

QStringList QiCabinet::filesIn(const QString& dir, const QString& pattern) const
{
    return QDir(dir).entryList({pattern}, QDir::Files, QDir::Name);
}

std::string QiCabinet::callLog()
{
    std::string text(size_t(kxtest_call_log(nullptr, 0)) + 1, '\0');
    kxtest_call_log(&text[0], int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
}

int QiCabinet::callsOf(const std::string& line)
{
    const std::string text = callLog();
    int n = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (text.compare(at, (end == std::string::npos ? text.size() : end) - at, line) == 0)
            ++n;
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return n;
}
