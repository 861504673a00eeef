// The flows on their own, without the controller: a FlowContext on the virtual cabinet (board on
// a pseudo-terminal, the Tucsen stand-in) and one flow or shared helper at a time. The preview
// role's stops and restarts, the auto-exposure requests, a Western-blot preview left again, and
// the names of experiments started within one second.
#include "apppaths.h"
#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "cabinetstate.h"
#include "camopts.h"
#include "experimentfolder.h"
#include "experimentrecords.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "multexperimentdb.h"
#include "multflow.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "tucsenautoexposure.h"
#include "tucsenpreview.h"
#include "useropts.h"
#include "virtualboard.h"
#include "wbtsflow.h"
#include "westernblotexperimentdb.h"

#include <QDir>
#include <QMutex>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<void(FlowContext&)>)

namespace {
enum class InTheWay {
    PreviousExperiment,  // the same kind's last experiment, started a moment ago
    FolderWithoutRow,    // a folder of the name below <appDir>/Images, its row gone
    CopyFolder,          // the name's folder in the operator's image folder only
    OtherKindsRow,       // an experiment of another kind renamed to the name
};
}
Q_DECLARE_METATYPE(InTheWay)

namespace {
constexpr int kDeadlineMs = 20000;

// A preview thread as the role sees one: it runs until the camera's running flag drops, and
// counts its runs where the test can read them after the thread is gone.
class FakePreview : public QThread {
public:
    FakePreview(H695ICECamCtrl* camera, std::atomic<int>& runs)
        : camera(camera)
        , runs(runs)
    {
    }

protected:
    void run() override
    {
        ++runs;
        while (camera->isRunning)
            QThread::msleep(1);
    }

private:
    H695ICECamCtrl* camera;
    std::atomic<int>& runs;
};

// The cabinet of one test case: a started board, a link on it, and a context over the shared
// objects the controller would hand over.
struct Cabinet {
    Cabinet()
    {
        vcab::CabinetState::instance().reset();
        board.start();
        link->openPort(QString::fromStdString(board.slavePath()), QSerialPort::Baud1200);
        FlowContext::Devices devices;
        devices.tucsen = H695ICECamCtrl::getInstance();
        devices.kestrix = KestrixCtrl::getInstance();
        devices.link = link.get();
        devices.lightCtrl = &lights;
        devices.camOpts = CamOpts::getInstance();
        devices.userOpts = UserOpts::getInstance();
        devices.wbExpDB = WesternBlotExperimentDB::getInstance();
        devices.gelExpDB = GelExperimentDB::getInstance();
        devices.multExpDB = MultExperimentDB::getInstance();
        devices.captureMutex = &captureMutex;
        ctx = std::make_unique<FlowContext>(devices);
    }
    ~Cabinet()
    {
        ctx.reset();
        link.reset();
        board.stop();
    }

    // Data bytes of every 0xF2 command the board received, in order.
    QStringList mainLightCommands()
    {
        QStringList out;
        for (const QByteArray& f : control.receivedFrames())
            if (f.size() >= 5 && quint8(f[2]) == 0xF2)
                out << QString::fromLatin1(f.mid(4, quint8(f[3])).toHex(' '));
        return out;
    }

    vboard::VirtualBoard board;
    vboard::BoardTestControl control {board};
    std::unique_ptr<ASyncSerialPortThread> link = std::make_unique<ASyncSerialPortThread>();
    LightCtrl lights {link.get(), nullptr};
    QMutex captureMutex;
    std::unique_ptr<FlowContext> ctx;
};

// A record of any of the three tables, owned as the type it was made as.
template <class Record>
std::unique_ptr<ExperimentRecord, void (*)(ExperimentRecord*)> owned(Record* record)
{
    return {record, [](ExperimentRecord* r) { delete static_cast<Record*>(r); }};
}

// The camera's own auto-exposure values as the driver received them, in order.
QList<int> autoExposureValues()
{
    QList<int> values;
    for (const tucamtest::CallRecord& call : tucamtest::calls("TUCAM_Capa_SetValue", TUIDC_ATEXPOSURE))
        values << int(call.args.at(1));
    return values;
}
} // namespace

class FlowsTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    qint64 lastCaseSecond = 0;

private slots:
    void init()
    {
        tucamtest::reset();
        QVERIFY(cam->openCamera(EnumOBJ::WBTS695_Manual));
        cam->frameStore().clearFrameCaches();
        tucamtest::clearCallLog();
    }

    void cleanup() { cam->closeCamera(); }

    // Requests made while a setting runs follow it in the order given, one thread at a time,
    // each answered once; a page may ask for the next one from its answer.
    void autoExposureRequestsFollowInTurn_data()
    {
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<int>("fromFirstAnswer");  // -1: none
        QTest::addColumn<QList<int>>("camera");
        QTest::addColumn<int>("waitingAfterFirst");
        QTest::newRow("one") << QList<int> {1} << -1 << QList<int> {1} << 0;
        QTest::newRow("a second during the first") << QList<int> {1, 0} << -1 << QList<int> {1, 0} << 0;
        QTest::newRow("three in a row") << QList<int> {1, 0, 2} << -1 << QList<int> {1, 0, 2} << 1;
        QTest::newRow("asked from the answer") << QList<int> {1, 0} << 2 << QList<int> {1, 0, 2} << 1;
    }
    void autoExposureRequestsFollowInTurn()
    {
        QFETCH(QList<int>, requests);
        QFETCH(int, fromFirstAnswer);
        QFETCH(QList<int>, camera);
        QFETCH(int, waitingAfterFirst);
        Cabinet cabinet;
        TucsenAutoExposure ae(*cabinet.ctx);
        QSignalSpy answers(cabinet.ctx.get(), &FlowContext::setAEFinished);
        int waiting = -1;
        bool first = true;
        connect(cabinet.ctx.get(), &FlowContext::setAEFinished, this, [&] {
            if (!first)
                return;
            first = false;
            // Posted before any further setting starts, so it runs before that one ends.
            QTimer::singleShot(0, this, [&] { waiting = int(ae.waiting()); });
            if (fromFirstAnswer >= 0)
                ae.request(fromFirstAnswer);
        });
        for (int value : requests)
            ae.request(value);
        QVERIFY(ae.thread());
        QCOMPARE(int(ae.waiting()), requests.size() - 1);

        QVERIFY(waitFor([&] { return answers.size() == camera.size() && !ae.thread(); }, kDeadlineMs));
        QCoreApplication::processEvents();
        QCOMPARE(answers.size(), camera.size());
        QCOMPARE(waiting, waitingAfterFirst);
        QCOMPARE(autoExposureValues(), camera);
        disconnect(cabinet.ctx.get(), nullptr, this, nullptr);
    }

    // Stops and restarts of a preview: the last request decides what follows the thread's end;
    // a continuation overtaken by a later request never runs. The same holds for a preview that
    // had ended on its own (a camera error) before the requests, whose end was already told.
    void previewRoleLastRequestWins_data()
    {
        QTest::addColumn<bool>("endedFirst");
        QTest::addColumn<QStringList>("requests");  // in order, before the thread's end is handled
        QTest::addColumn<QStringList>("ran");       // continuations that ran
        QTest::addColumn<int>("runs");              // runs of the thread
        QTest::addColumn<bool>("kept");             // the role still holds the thread
        for (bool ended : {false, true}) {
            const QString when = ended ? " of an ended preview" : "";
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(name + when)) << ended;
            };
            row("stop") << QStringList {"stop A"} << QStringList {"A"} << 1 << false;
            row("second stop takes over") << QStringList {"stop A", "stop B"} << QStringList {"B"} << 1 << false;
            row("restart") << QStringList {"restart R"} << QStringList {"R"} << 2 << true;
            row("stop after a restart") << QStringList {"restart R", "stop A"} << QStringList {"A"} << 1 << false;
            row("restart refused during a stop") << QStringList {"stop A", "restart R"} << QStringList {"A"} << 1
                                                 << false;
            row("second restart refused") << QStringList {"restart R", "restart S"} << QStringList {"R"} << 2
                                          << true;
        }
    }
    void previewRoleLastRequestWins()
    {
        QFETCH(bool, endedFirst);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, ran);
        QFETCH(int, runs);
        QFETCH(bool, kept);
        H695ICECamCtrl camera;
        QObject owner;
        TucsenPreview<FakePreview> role(&owner, &camera);
        std::atomic<int> started {0};
        auto* thread = new FakePreview(&camera, started);
        QPointer<FakePreview> watched(thread);
        role.start(thread);
        QVERIFY(waitFor([&] { return started == 1; }, kDeadlineMs));
        if (endedFirst) {
            camera.isRunning = false;
            QVERIFY(thread->wait(kDeadlineMs));
            QCoreApplication::processEvents();
        }

        QStringList done;
        for (const QString& request : requests) {
            const QStringList parts = request.split(' ');
            const QString name = parts[1];
            if (parts[0] == "stop")
                role.stop([&done, name] { done << name; });
            else
                role.restart("test", [&done, name] { done << name; });
        }
        QVERIFY(waitFor([&] { return done.size() == 1; }, kDeadlineMs));
        // Anything stale would have been delivered by now as well.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(done, ran);
        QCOMPARE(role.thread() != nullptr, kept);
        QVERIFY(!role.stopping());
        if (kept) {
            QVERIFY(waitFor([&] { return started == runs && thread->isRunning(); }, kDeadlineMs));
            QVERIFY(camera.isRunning);
            camera.isRunning = false;
            QVERIFY(thread->wait(kDeadlineMs));
            delete thread;
        } else {
            QCOMPARE(started.load(), runs);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(watched.isNull());
        }
    }

    // The lights the pages are shown follow the board's echoes: a light command it misses leaves
    // the light it last confirmed, is said to the pages once, and raises CommunicateErr.
    void lightsFollowTheBoardsEcho_data()
    {
        using Step = std::function<void(FlowContext&)>;
        QTest::addColumn<Step>("before");
        QTest::addColumn<Step>("missed");
        QTest::addColumn<int>("missedCode");
        QTest::addColumn<int>("lit");
        QTest::addColumn<int>("unansweredLight");
        QTest::addColumn<bool>("unansweredOn");
        const Step white = [](FlowContext& c) { c.lightCmd(EnumOBJ::White, true); };
        QTest::newRow("answered: the light the board switched on")
            << white << Step([](FlowContext& c) { c.lightCmd(EnumOBJ::UV302, true); }) << 0
            << int(EnumOBJ::UV302) << -1 << false;
        QTest::newRow("answered off: none lit")
            << white << Step([](FlowContext& c) { c.lightCmd(EnumOBJ::White, false); }) << 0
            << int(EnumOBJ::Unknow_LightType) << -1 << false;
        QTest::newRow("missed on: the old light stays")
            << white << Step([](FlowContext& c) { c.lightCmd(EnumOBJ::UV302, true); }) << 0xF1
            << int(EnumOBJ::White) << int(EnumOBJ::UV302) << true;
        QTest::newRow("missed power off: the light stays on")
            << Step([](FlowContext& c) { c.lightChange(true); }) << Step([](FlowContext& c) { c.lightChange(false); })
            << 0xF2 << int(EnumOBJ::White) << int(EnumOBJ::Unknow_LightType) << false;
    }
    void lightsFollowTheBoardsEcho()
    {
        using Step = std::function<void(FlowContext&)>;
        QFETCH(Step, before);
        QFETCH(Step, missed);
        QFETCH(int, missedCode);
        QFETCH(int, lit);
        QFETCH(int, unansweredLight);
        QFETCH(bool, unansweredOn);
        Cabinet cabinet;
        FlowContext& ctx = *cabinet.ctx;
        ctx.setAuthorityType(EnumOBJ::GelTS20BW);
        QSignalSpy unanswered(&ctx, &FlowContext::lightCommandUnanswered);
        before(ctx);
        QVERIFY(waitFor([&] { return ctx.litLight() == EnumOBJ::White; }, kDeadlineMs));
        if (missedCode)
            cabinet.control.ignoreRequests(quint8(missedCode), 1);
        missed(ctx);
        if (unansweredLight >= 0) {
            QVERIFY(unanswered.wait(kDeadlineMs));
            QCOMPARE(unanswered.at(0).at(0).toInt(), unansweredLight);
            QCOMPARE(unanswered.at(0).at(1).toBool(), unansweredOn);
        } else {
            QVERIFY(waitFor([&] { return ctx.litLight() == lit; }, kDeadlineMs));
        }
        // A missed light command is no device error: that would close the experiments.
        QCOMPARE(ctx.errorCode(), EnumOBJ::NoErr);
        QCOMPARE(ctx.litLight(), lit);
        // The board answers the next command again; the missed one is not reported twice.
        ctx.lightCmd(EnumOBJ::UV254, true);
        QVERIFY(waitFor([&] { return ctx.litLight() == EnumOBJ::UV254; }, kDeadlineMs));
        QCOMPARE(unanswered.size(), unansweredLight >= 0 ? 1 : 0);
    }

    // Auto-exposure switched on while a light command is on its way waits for the board's echo
    // of that light, then starts; a light the board lets pass leaves it off, the request answered
    // all the same. A request to switch it off and one with no light on its way go at once.
    void autoExposureWaitsForTheLight_data()
    {
        using Step = std::function<void(FlowContext&)>;
        QTest::addColumn<Step>("light");     // sent just before the requests; null: none
        QTest::addColumn<int>("missedCode");  // the board misses the light's command; 0: none
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QList<int>>("camera");
        const Step uv = [](FlowContext& c) { c.lightCmd(EnumOBJ::UV302, true); };
        const Step main = [](FlowContext& c) { c.lightChange(true); };
        QTest::newRow("gel light answered") << uv << 0 << QList<int> {1} << true << QList<int> {1};
        QTest::newRow("main light answered") << main << 0 << QList<int> {1} << true << QList<int> {1};
        QTest::newRow("answered, then off") << uv << 0 << QList<int> {1, 0} << true << QList<int> {1, 0};
        QTest::newRow("gel light missed") << uv << 0xF1 << QList<int> {1} << true << QList<int> {};
        QTest::newRow("main light missed, off asked meanwhile")
            << main << 0xF2 << QList<int> {1, 0} << true << QList<int> {0};
        QTest::newRow("off while a light is on its way") << uv << 0 << QList<int> {0} << false << QList<int> {0};
        QTest::newRow("no light on its way") << Step() << 0 << QList<int> {1} << false << QList<int> {1};
    }
    void autoExposureWaitsForTheLight()
    {
        using Step = std::function<void(FlowContext&)>;
        QFETCH(Step, light);
        QFETCH(int, missedCode);
        QFETCH(QList<int>, requests);
        QFETCH(bool, held);
        QFETCH(QList<int>, camera);
        Cabinet cabinet;
        FlowContext& ctx = *cabinet.ctx;
        ctx.setAuthorityType(EnumOBJ::GelTS20BW);
        // The link answers before the case starts.
        ctx.lightCmd(EnumOBJ::White, false);
        QVERIFY(waitFor([&] { return !ctx.lightCommandPending(); }, kDeadlineMs));
        // Heard before the auto-exposure hears it: whether a setting already ran at the echo.
        TucsenAutoExposure* running = nullptr;
        int echoes = 0;
        bool setBeforeEcho = false;
        connect(&ctx, &FlowContext::lightCommandAnswered, this, [&] {
            ++echoes;
            setBeforeEcho = setBeforeEcho || (running && (running->thread() || !autoExposureValues().isEmpty()));
        });
        TucsenAutoExposure ae(ctx);
        running = &ae;
        QSignalSpy answers(&ctx, &FlowContext::setAEFinished);
        QSignalSpy unanswered(&ctx, &FlowContext::lightCommandUnanswered);
        if (missedCode)
            cabinet.control.ignoreRequests(quint8(missedCode), 1);
        if (light)
            light(ctx);
        for (int value : requests)
            ae.request(value);
        QCOMPARE(ae.waitingForLight(), held);
        QCOMPARE(!ae.thread(), held);

        QVERIFY(waitFor([&] {
            return answers.size() == requests.size() && !ae.thread() && !ae.waitingForLight() && !ctx.lightCommandPending();
        }, kDeadlineMs));
        QCoreApplication::processEvents();
        QCOMPARE(answers.size(), requests.size());
        QCOMPARE(autoExposureValues(), camera);
        QCOMPARE(unanswered.size(), missedCode ? 1 : 0);
        if (light && !missedCode) {
            QCOMPARE(echoes, 1);
            QCOMPARE(setBeforeEcho, !held);
        }
        disconnect(&ctx, nullptr, this, nullptr);
    }

    // The Western-blot flow alone on the cabinet: its preview delivers frames to the context,
    // and leaving stops it, switches the light off twice and tells the page once.
    void westernBlotPreviewAndExitOnTheCabinet()
    {
        Cabinet cabinet;
        FlowContext& ctx = *cabinet.ctx;
        ctx.setAuthorityType(EnumOBJ::WBTS695_Manual);
        TucsenAutoExposure ae(ctx);
        WBTSFlow flow(ctx, ae);
        QSignalSpy frames(&ctx, &FlowContext::imageChanged);
        QSignalSpy stopped(&ctx, &FlowContext::previewStoped);
        QSignalSpy light(&ctx, &FlowContext::lightStatusChange);

        flow.previewStart();
        QVERIFY(flow.hasPreview());
        QVERIFY(frames.wait(kDeadlineMs));

        flow.exitExperiment();
        QVERIFY(stopped.wait(kDeadlineMs));
        QCoreApplication::processEvents();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!flow.hasPreview());
        QCOMPARE(light.size(), 2);
        QVERIFY(waitFor([&] { return cabinet.mainLightCommands().size() >= 2; }, kDeadlineMs));
        QCOMPARE(cabinet.mainLightCommands(), (QStringList {"c1", "c1"}));
        QCOMPARE(ctx.errorCode(), EnumOBJ::NoErr);
    }

    // An experiment started while the name of its second is taken (by the last experiment, a
    // folder on disk, a renamed experiment of another kind) gets a name, row and folder of its
    // own, named by a later second in the same form, and the store is not blamed.
    void experimentsOfOneSecondKeepApart_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<InTheWay>("inTheWay");
        QTest::newRow("gel, twice") << "Gel" << InTheWay::PreviousExperiment;
        QTest::newRow("multi-fluorescence, twice") << "Mult" << InTheWay::PreviousExperiment;
        QTest::newRow("western blot, twice") << "WBS" << InTheWay::PreviousExperiment;
        QTest::newRow("gel, a folder without its row") << "Gel" << InTheWay::FolderWithoutRow;
        QTest::newRow("western blot, the operator's copy") << "WBM" << InTheWay::CopyFolder;
        QTest::newRow("multi-fluorescence, a renamed gel") << "Mult" << InTheWay::OtherKindsRow;
    }
    void experimentsOfOneSecondKeepApart()
    {
        QFETCH(QString, prefix);
        QFETCH(InTheWay, inTheWay);
        Cabinet cabinet;
        FlowContext& ctx = *cabinet.ctx;
        TucsenAutoExposure ae(ctx);
        GelFlow gel(ctx, ae);
        MultFlow mult(ctx, ae);
        UserOpts* opts = UserOpts::getInstance();
        const QString copyRoot = appDir.filePath(QStringLiteral("copies"));
        opts->setImageSavePath(copyRoot);
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);

        // The experiment a page starts, as its flow makes it (Western blot: its capture start),
        // and its row read back.
        auto start = [&]() -> std::unique_ptr<ExperimentRecord, void (*)(ExperimentRecord*)> {
            if (prefix == QLatin1String("Gel")) {
                gel.updateExpInfo();
                return owned(gel.experiment.release());
            }
            if (prefix == QLatin1String("Mult")) {
                mult.updateExpInfo();
                return owned(mult.experiment.release());
            }
            auto record = newExperimentRecord<WesternBlotExperimentRecord>(ctx, EnumOBJ::WB, prefix);
            if (!insertExperimentRow(ctx.wbExpDB(), record.get()))
                record.reset();
            return owned(record.release());
        };
        auto rowNamed = [&](const QString& name) {
            if (prefix == QLatin1String("Gel"))
                return owned(GelExperimentDB::getInstance()->selectExperimentByName(name));
            if (prefix == QLatin1String("Mult"))
                return owned(MultExperimentDB::getInstance()->selectExperimentByName(name));
            return owned(WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        };

        // Early in a second, so that what is in the way and the new experiment share it, and in
        // one the cases before left free.
        QVERIFY(waitFor([this] {
            const QDateTime t = QDateTime::currentDateTime();
            return t.toSecsSinceEpoch() > lastCaseSecond + 1 && t.time().msec() < 500;
        }, kDeadlineMs));
        const QDateTime now = QDateTime::currentDateTime();
        lastCaseSecond = now.toSecsSinceEpoch();
        QString taken = prefix + now.toString(QStringLiteral("yyyyMMdd-hhmmss"));
        const QString ownRoot = imagesRoot(AppPaths::appDir());
        switch (inTheWay) {
        case InTheWay::PreviousExperiment: {
            const auto first = start();
            QVERIFY(first);
            taken = first->name;
            break;
        }
        case InTheWay::FolderWithoutRow:
            QVERIFY(QDir().mkpath(experimentFolder(ownRoot, now.date(), taken)));
            break;
        case InTheWay::CopyFolder:
            QVERIFY(QDir().mkpath(experimentFolder(copyRoot, now.date(), taken)));
            break;
        case InTheWay::OtherKindsRow: {
            GelExperimentRecord renamed;
            renamed.userName = QStringLiteral("Admin");
            renamed.expType = EnumOBJ::Gel;
            renamed.date = dayFolderName(now.date());
            renamed.dateTime = now;
            renamed.name = taken;
            renamed.imageSavePath = experimentFolder(ownRoot, now.date(), taken);
            QVERIFY(GelExperimentDB::getInstance()->insertExperiment(&renamed));
            break;
        }
        }

        const auto next = start();
        QVERIFY2(next, qPrintable(ctx.errorDetail()));
        QCOMPARE(ctx.errorCode(), EnumOBJ::NoErr);
        QVERIFY(next->name != taken);
        QVERIFY(QRegularExpression(QStringLiteral("^") + prefix + QStringLiteral("\\d{8}-\\d{6}$")).match(next->name).hasMatch());
        QVERIFY(next->name > taken);
        const auto row = rowNamed(next->name);
        QVERIFY(row);
        QCOMPARE(row->uuid, next->uuid);
        // The folder is where every reader of paths looks for it: the name under its day.
        const ExperimentPath path = parseExperimentPath(next->imageSavePath);
        QVERIFY(path.isValid());
        QCOMPARE(path.root, QDir::cleanPath(ownRoot));
        QCOMPARE(path.name, next->name);
        QCOMPARE(dayFolderName(path.day), next->date);
        QVERIFY(!QFileInfo::exists(next->imageSavePath));
        QCOMPARE(next->dateTime.toString(QStringLiteral("yyyyMMdd-hhmmss")), next->name.mid(prefix.size()));
    }
};

QTEST_MAIN(FlowsTest)
#include "flows_test.moc"
