#include "ic_maincontrol.h"

#include "apppaths.h"
#include "asyncserialportthread.h"
#include "boardechoes.h"
#include "camopts.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "filesflow.h"
#include "housekeepingflow.h"
#include "kestrix64.h"
#include "kestrixctrl.h"
#include "lensflow.h"
#include "libraryflow.h"
#include "lightctrl.h"
#include "machinemodel.h"
#include "modbusmaster.h"
#include "multexperimentdb.h"
#include "multflow.h"
#include "tucsenautoexposure.h"
#include "useropts.h"
#include "wbqiflow.h"
#include "wbtsflow.h"
#include "westernblotexperimentdb.h"

#include <QAtomicPointer>
#include <QDebug>
#include <QMetaType>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QThread>

IC_MainControl* IC_MainControl::getInstance()
{
    static QAtomicPointer<IC_MainControl> instance;
    static QMutex mutex;
    IC_MainControl* current = instance.loadAcquire();
    if (!current) {
        QMutexLocker locker(&mutex);
        current = instance.loadAcquire();
        if (!current) {
            current = new IC_MainControl(nullptr);
            instance.storeRelease(current);
        }
    }
    return current;
}

IC_MainControl::IC_MainControl(QObject* parent, ASyncSerialPortThread* link)
    : QObject(parent)
    , camOpt(CamOpts::getInstance())
    , userOpt(UserOpts::getInstance())
    , kestrixCtrl(KestrixCtrl::getInstance())
    , serialPortThread(link ? link : ASyncSerialPortThread::getInstance())
    , modbusMaster(new ModbusMaster(this))
    , lightCtrl(new LightCtrl(serialPortThread, this))
    , wbExpDB(WesternBlotExperimentDB::getInstance())
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , gelExpDB(GelExperimentDB::getInstance())
    , multExpDB(MultExperimentDB::getInstance())
    , captureMutex(new QMutex)
{
    qRegisterMetaType<rgn_type>("rgn_type");

    FlowContext::Devices devices;
    devices.tucsen = h695ICECamCtrl;
    devices.kestrix = kestrixCtrl;
    devices.link = serialPortThread;
    devices.lightCtrl = lightCtrl;
    devices.camOpts = camOpt;
    devices.userOpts = userOpt;
    devices.wbExpDB = wbExpDB;
    devices.gelExpDB = gelExpDB;
    devices.multExpDB = multExpDB;
    devices.captureMutex = captureMutex;
    m_context = std::make_unique<FlowContext>(devices);
    m_autoExposure = std::make_unique<TucsenAutoExposure>(*m_context);
    m_lens = std::make_unique<LensFlow>(*m_context);
    m_wbTS = std::make_unique<WBTSFlow>(*m_context, *m_autoExposure);
    m_wbQI = std::make_unique<WBQIFlow>(*m_context);
    m_gel = std::make_unique<GelFlow>(*m_context, *m_autoExposure);
    m_mult = std::make_unique<MultFlow>(*m_context, *m_autoExposure);
    m_housekeeping = std::make_unique<HousekeepingFlow>(*m_context);
    m_library = std::make_unique<LibraryFlow>(*m_context);
    m_files = std::make_unique<FilesFlow>(*m_context);
    wireLibrary();
    wireFiles();

    // What the flows tell the pages, passed on as the controller's own signals.
    FlowContext* ctx = m_context.get();
    connect(ctx, &FlowContext::errorCodeChanged, this, &IC_MainControl::errorCodeChanged);
    connect(ctx, &FlowContext::imageChanged, this, &IC_MainControl::imageChanged);
    connect(ctx, &FlowContext::estimateStart, this, &IC_MainControl::estimateStart);
    connect(ctx, &FlowContext::captureStart, this, &IC_MainControl::captureStart);
    connect(ctx, &FlowContext::captureFinished, this, &IC_MainControl::captureFinished);
    connect(ctx, &FlowContext::changeAxisYMaxAndSliderValue, this, &IC_MainControl::changeAxisYMaxAndSliderValue);
    connect(ctx, &FlowContext::lightStatusChange, this, &IC_MainControl::lightStatusChange);
    connect(ctx, &FlowContext::lightCommandUnanswered, this, &IC_MainControl::lightCommandUnanswered);
    connect(ctx, &FlowContext::singleImageCaped, this, &IC_MainControl::singleImageCaped);
    connect(ctx, &FlowContext::colorMarkerCaped, this, &IC_MainControl::colorMarkerCaped);
    connect(ctx, &FlowContext::updateEstimateTime, this, &IC_MainControl::updateEstimateTime);
    connect(ctx, &FlowContext::previewStoped, this, &IC_MainControl::previewStoped);
    connect(ctx, &FlowContext::setAEFinished, this, &IC_MainControl::setAEFinished);
    connect(ctx, &FlowContext::setAFFinished, this, &IC_MainControl::setAFFinished);
    connect(ctx, &FlowContext::aFFinished, this, &IC_MainControl::aFFinished);
    connect(ctx, &FlowContext::focusMoved, this, &IC_MainControl::focusMoved);
    connect(ctx, &FlowContext::sig_FocusMove, this, &IC_MainControl::sig_FocusMove);
    BoardEchoes* echoes = &ctx->echoes();
    connect(echoes, &BoardEchoes::filterCommandUnanswered, this, &IC_MainControl::filterCommandUnanswered);
    connect(echoes, &BoardEchoes::doorCommandUnanswered, this, &IC_MainControl::doorCommandUnanswered);
    connect(echoes, &BoardEchoes::confirmedLate, this, &IC_MainControl::boardConfirmedLate);
    connect(echoes, &BoardEchoes::lensCommandUnanswered, this, [this](int position) {
        // The stored lens position must not claim a move the board never made.
        if (position >= 0) {
            userOpt->setCurFocusValue(position);
            userOpt->saveUserOptsByName(UserOpts::OPT_CurFocusValue);
        }
        emit lensCommandUnanswered(position);
    });
    connect(this, &IC_MainControl::doorStatusChange, echoes, &BoardEchoes::doorReported);

    connect(serialPortThread, &ASyncSerialPortThread::readData, this, &IC_MainControl::readDataHandle);
    connect(serialPortThread, &ASyncSerialPortThread::sig_SerialPortErrorOccur, this,
            &IC_MainControl::slot_SerialPortErrorOccur);
    // An acquisition error of the kestrix64 camera: the camera stays open for the next try.
    connect(kestrixCtrl, &KestrixCtrl::sig_CamErrorOccur, this, [this] { reportError(EnumOBJ::CameraErr); });
}

IC_MainControl::~IC_MainControl()
{
    // The flows go first: they hold the context, which holds the capture mutex.
    m_library.reset();
    m_housekeeping.reset();
    m_mult.reset();
    m_gel.reset();
    m_wbQI.reset();
    m_wbTS.reset();
    m_lens.reset();
    m_autoExposure.reset();
    m_context.reset();
    delete captureMutex;
}

EnumOBJ::MachineName IC_MainControl::machineName() const
{
    return m_machineName;
}

EnumOBJ::ErrorCode IC_MainControl::errorCode() const
{
    return m_context->errorCode();
}

QString IC_MainControl::errorDetail() const
{
    return m_context->errorDetail();
}

void IC_MainControl::setErrorCode(EnumOBJ::ErrorCode errorCode)
{
    m_context->setErrorCode(errorCode);
}

EnumOBJ::AuthorityType IC_MainControl::authorityType() const
{
    return m_context->authorityType();
}

void IC_MainControl::setAuthorityType(EnumOBJ::AuthorityType authorityType)
{
    if (m_context->authorityType() == authorityType)
        return;
    m_context->setAuthorityType(authorityType);
    emit authorityTypeChanged();
}

EnumOBJ::ExpMode IC_MainControl::expMode() const
{
    return m_expMode;
}

void IC_MainControl::setExpMode(EnumOBJ::ExpMode expMode)
{
    // Bindings on expMode must see the head bar's writes.
    if (m_expMode == expMode)
        return;
    m_expMode = expMode;
    emit expModeChanged();
}

bool IC_MainControl::singleCaptureVisible() const
{
    return m_context->singleCaptureVisible();
}

void IC_MainControl::setSingleCaptureVisible(bool visible)
{
    m_context->setSingleCaptureVisible(visible);
}

QString IC_MainControl::curExpName() const
{
    return m_context->curExpName();
}

void IC_MainControl::setCurExpName(const QString& name)
{
    m_context->setCurExpName(name);
}

int IC_MainControl::sum2BinIndex() const
{
    return m_sum2BinIndex;
}

void IC_MainControl::setSum2BinIndex(int index)
{
    if (m_sum2BinIndex == index)
        return;
    m_sum2BinIndex = index;
    emit sum2BinIndexChanged();
}

void IC_MainControl::reportError(EnumOBJ::ErrorCode errorCode)
{
    m_context->reportError(errorCode);
}

EnumOBJ::MachineName IC_MainControl::readMachineName()
{
    QSettings settings(AppPaths::path(QStringLiteral("machine.ini")), QSettings::IniFormat);
    const QVariant stored = settings.value(QStringLiteral("Machine/MachineName"));
    // An unquoted value with a comma reads as a list; it is no model text either way.
    const QString text = stored.type() == QVariant::StringList ? stored.toStringList().join(QLatin1Char(','))
                                                               : stored.toString();
    qDebug() << "仪器名:" << text;
    return MachineModel::machineNameFromText(text);
}

void IC_MainControl::initMachine()
{
    const EnumOBJ::MachineName name = readMachineName();
    if (name != m_machineName) {
        m_machineName = name;
        emit machineNameChanged();
    }
    const MachineModel::Row* row = MachineModel::rowOf(m_machineName);
    if (!row)
        return;
    setAuthorityType(row->authorityType);
    MachineModel::applyDefaults(m_machineName, *userOpt, *camOpt);
    // The stores share one file: a damaged one is told to the operator at start, not only logged.
    if (gelExpDB && !gelExpDB->isSound())
        m_context->reportError(EnumOBJ::StoreErr, gelExpDB->refusalText());
}

void IC_MainControl::limitLightAutoShutDownTime()
{
    MachineModel::capLightAutoShutDownTime(*userOpt);
}

void IC_MainControl::startRegularRemove()
{
    m_files->startRegularRemove();
}

void IC_MainControl::removeDirFiles(const QString& dir)
{
    HousekeepingFlow::removeDirFiles(dir);
}

void IC_MainControl::runWhenFinished(QThread* thread, std::function<void()> continuation)
{
    FlowContext::runWhenFinished(thread, this, std::move(continuation));
}

void IC_MainControl::slot_SerialPortErrorOccur()
{
    reportError(EnumOBJ::SerialPortErr);
}

void IC_MainControl::slot_CamErrorOccur()
{
    m_context->cameraError();
}

void IC_MainControl::updateImageHandle()
{
    emit imageChanged();
}

void IC_MainControl::finishHandle()
{
    m_wbQI->finishHandle();
}

void IC_MainControl::setLineSeries(QtCharts::QLineSeries* series)
{
    m_context->wbLineSeries = series;
}

void IC_MainControl::setMultLineSeries(QtCharts::QLineSeries* series)
{
    m_context->multLineSeries = series;
}

void IC_MainControl::setGelLineSeries(QtCharts::QLineSeries* series)
{
    m_context->gelLineSeries = series;
}

