// The capture role alone: a FlowContext over a camera controller of the test's own and a capture
// thread whose run the test writes, so that each case puts the exposure's permits, the capture
// mutex and the ended flag exactly where the cancel must cope with them.
#include "capturerole.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "testappdir.h"
#include "useropts.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {
constexpr int kDeadlineMs = 20000;
// Long enough for a cancel polling every 50 ms to have tried several times.
constexpr unsigned long kHoldMs = 300;

// A capture thread as the role sees one: the test's body, then the ended flag.
class FakeCapture : public QThread {
    Q_OBJECT
public:
    explicit FakeCapture(std::function<void(FakeCapture&)> body)
        : body(std::move(body))
    {
    }
    std::atomic<bool> ended {false};

signals:
    void sig_CamErrorOccur();
    void sig_SaveFailed(QString path);

protected:
    void run() override
    {
        body(*this);
        ended = true;
    }

private:
    std::function<void(FakeCapture&)> body;
};

// Waits on a worker thread, with a deadline, for what the GUI thread's cancel does.
bool waitOnWorker(const std::function<bool()>& cond)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > kDeadlineMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

struct Rig {
    std::unique_ptr<FlowContext> makeContext()
    {
        FlowContext::Devices devices;
        devices.tucsen = &camera;
        devices.userOpts = UserOpts::getInstance();
        devices.captureMutex = &captureMutex;
        return std::make_unique<FlowContext>(devices);
    }
    H695ICECamCtrl camera;
    QMutex captureMutex;
    std::unique_ptr<FlowContext> ctx = makeContext();
    QObject owner;
    FakeCapture* captureThread = nullptr;
    CaptureRole role {&owner, *ctx, captureThread};
};
} // namespace

class CaptureRoleTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    // A start leaves no permit of an earlier run and the abort flag down; the thread's failures
    // reach the context; its end lets it go and tells the page the folder before the flow's own
    // continuation runs.
    void startAndEnd()
    {
        Rig rig;
        rig.camera.semCap.release(3);
        rig.camera.isAbort = true;
        QSignalSpy started(rig.ctx.get(), &FlowContext::captureStart);
        QSignalSpy finished(rig.ctx.get(), &FlowContext::captureFinished);
        std::atomic<int> permitsSeen {-1};
        std::atomic<bool> abortSeen {true};
        auto* thread = new FakeCapture([&](FakeCapture& self) {
            permitsSeen = rig.camera.semCap.available();
            abortSeen = rig.camera.isAbort.load();
            emit self.sig_SaveFailed(QStringLiteral("/nowhere/at/all/picture.tif"));
        });
        QPointer<FakeCapture> watched(thread);
        QStringList order;
        connect(rig.ctx.get(), &FlowContext::captureFinished, this, [&](const QString& folder) { order << folder; });
        rig.role.start(thread, QStringLiteral("/experiments/one"), {[] { return 1; }, &thread->ended, true},
                       [&] { order << QStringLiteral("flow"); });
        QCOMPARE(rig.captureThread, thread);
        QCOMPARE(started.size(), 1);

        QVERIFY(waitFor([&] { return !rig.captureThread; }, kDeadlineMs));
        QCOMPARE(permitsSeen.load(), 0);
        QVERIFY(!abortSeen);
        QCOMPARE(rig.ctx->errorCode(), EnumOBJ::SaveErr);
        QCOMPARE(order, (QStringList {"/experiments/one", "flow"}));
        QVERIFY(rig.camera.isAbort);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watched.isNull());
        disconnect(rig.ctx.get(), nullptr, this, nullptr);
    }

    // The cancel goes through only once the permits that mean "an exposure runs" are all there,
    // gives up at the thread's ended flag, and with the capture mutex in its rule never aborts
    // while the thread holds that mutex.
    void cancelRule_data()
    {
        QTest::addColumn<int>("permits");        // the rule's count
        QTest::addColumn<int>("released");       // permits the thread gives at once
        QTest::addColumn<bool>("underMutex");
        QTest::addColumn<bool>("abortUnderLock"); // the thread sees the abort while it holds the mutex
        QTest::addColumn<bool>("aborted");        // the cancel gave the abort
        QTest::newRow("one exposure") << 1 << 1 << true << false << true;
        QTest::newRow("a stored frame holds it back") << 2 << 1 << false << false << true;
        QTest::newRow("without the mutex the abort lands at once") << 1 << 1 << false << true << true;
        QTest::newRow("no exposure: gives up when ended") << 1 << 0 << true << false << false;
    }
    void cancelRule()
    {
        QFETCH(int, permits);
        QFETCH(int, released);
        QFETCH(bool, underMutex);
        QFETCH(bool, abortUnderLock);
        QFETCH(bool, aborted);
        Rig rig;
        std::atomic<bool> exposing {false};
        std::atomic<bool> abortSeenUnderLock {false};
        std::atomic<bool> abortBeforeLastPermit {false};
        auto* thread = new FakeCapture([&](FakeCapture&) {
            QMutexLocker lock(&rig.captureMutex);
            rig.camera.semCap.release(released);
            exposing = true;
            if (released == 0) {
                QThread::msleep(kHoldMs);
                return;
            }
            if (abortUnderLock)
                abortSeenUnderLock = waitOnWorker([&] { return rig.camera.isAbort.load(); });
            else {
                QThread::msleep(kHoldMs);
                abortSeenUnderLock = rig.camera.isAbort.load();
            }
            lock.unlock();
            if (released < permits) {
                QThread::msleep(kHoldMs);
                abortBeforeLastPermit = rig.camera.isAbort.load();
                rig.camera.semCap.release(permits - released);
            }
            waitOnWorker([&] { return rig.camera.isAbort.load(); });
        });
        rig.role.start(thread, QStringLiteral("/experiments/two"), {[permits] { return permits; }, &thread->ended, underMutex},
                       [] {});
        QVERIFY(waitFor([&] { return exposing.load(); }, kDeadlineMs));

        rig.role.cancel();
        QCOMPARE(rig.camera.isAbort.load(), aborted);
        QVERIFY(waitFor([&] { return !rig.captureThread; }, kDeadlineMs));
        QCOMPARE(abortSeenUnderLock.load(), abortUnderLock);
        QVERIFY(!abortBeforeLastPermit);
        QCOMPARE(rig.camera.semCap.available(), 0);
        // Nothing to cancel once the thread is gone.
        rig.camera.isAbort = false;
        rig.role.cancel();
        QVERIFY(!rig.camera.isAbort);
    }
};

QTEST_MAIN(CaptureRoleTest)
#include "capturerole_test.moc"
