#include "startup.h"

#include "apppaths.h"
#include "boardtestcontrol.h"
#include "camopts.h"
#include "detailimageitem.h"
#include "thumbnailprovider.h"
#include "enumobj.h"
#include "ic_maincontrol.h"
#include "imagepainteditem.h"
#include "localfolders.h"
#include "machinemodel.h"
#include "singleinstance.h"
#include "cabinetstate.h"
#include "tucam_test.h"
#include "useropts.h"
#include "virtualboard.h"
#include "virtualcabinet.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QQmlEngine>

#include <cstdio>

QString logLine(QtMsgType type, const QDateTime& time, const QString& message)
{
    QString prefix;
    switch (type) {
    case QtDebugMsg:
        prefix = QStringLiteral("[Debug]");
        break;
    case QtWarningMsg:
        prefix = QStringLiteral("[Warning]");
        break;
    case QtCriticalMsg:
        prefix = QStringLiteral("[Critical]");
        break;
    case QtFatalMsg:
        prefix = QStringLiteral("[Fatal]");
        break;
    case QtInfoMsg:
        break;
    }
    return prefix + time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral("    ") + message
        + QLatin1Char('\n');
}

void logMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // A message raised while this thread is already writing one (a file or folder call that
    // warns) cannot take the lock again; it goes to the standard error instead.
    static thread_local bool writing = false;
    if (writing) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    static QMutex mutex;
    QMutexLocker locker(&mutex);
    writing = true;
    const QDateTime now = QDateTime::currentDateTime();
    const QString folder = AppPaths::appDir() + QStringLiteral("/logs");
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    // The local 8-bit encoding of a Linux desktop is UTF-8 (the Chinese texts need it).
    const QByteArray line = logLine(type, now, message).toUtf8();
    QFile file(folder + QLatin1Char('/') + now.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt"));
    // Unbuffered: a failed write must not stay in a buffer that close() would write later.
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    const qint64 before = opened ? file.size() : 0;
    const bool written = opened && file.write(line) == line.size() && file.flush();
    // A full disk may take part of the line: the piece would join the next line, so it goes.
    if (opened && !written)
        file.resize(before);
    file.close();
    // A folder where no log can be kept (read-only, full, a file in the way) must not silence
    // the program: above all not the fatal message that ends it.
    if (!written) {
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    }
    writing = false;
}

bool isFirstInstance()
{
    return SingleInstance::acquire(QStringLiteral("forCheckOnly"));
}

namespace {

void removeStrayFiles(const QString& pattern, const char* countTail)
{
    const QDir dir(AppPaths::appDir());
    if (!dir.exists())
        return;
    const QFileInfoList files = dir.entryInfoList({pattern}, QDir::Files, QDir::Unsorted);
    if (files.size() < 2)
        return;
    qDebug() << "检测到" << files.size() << countTail;
    for (const QFileInfo& info : files) {
        const QString path = info.absoluteFilePath();
        qDebug() << "filePath: " << path;
        if (!QFile::remove(path))
            qDebug() << "删除失败： " << path;
    }
    qDebug() << "删除结束";
}

} // namespace

void removeCameraConfigFiles()
{
    removeStrayFiles(QStringLiteral("*.xml"), "个相机配置文件，开始删除...");
}

void removeImageFiles()
{
    removeStrayFiles(QStringLiteral("*.tif"), "个图片文件，开始删除...");
}

namespace {
// The engine would delete a singleton it owns when it goes; these live as long as the process.
QObject* keptByProcess(QObject* object)
{
    QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
    return object;
}
} // namespace

QObject* mainCtrlProvider(QQmlEngine*, QJSEngine*)
{
    return keptByProcess(IC_MainControl::getInstance());
}

QObject* camOptsProvider(QQmlEngine*, QJSEngine*)
{
    return keptByProcess(CamOpts::getInstance());
}

QObject* userOptsProvider(QQmlEngine*, QJSEngine*)
{
    return keptByProcess(UserOpts::getInstance());
}

double scaleRatioFor(int authorityType)
{
    return (authorityType >= EnumOBJ::WBTS695_Manual && authorityType <= EnumOBJ::AllAuthorityTSFL9BW_Auto) ? 1.2
                                                                                                          : 1.0;
}

void addResourceImportPath(QQmlEngine* engine)
{
    engine->addImportPath(QStringLiteral("qrc:/"));
    engine->addImageProvider(QStringLiteral("thumbnail"), new ThumbnailProvider);
}

void registerQmlTypes()
{
    qmlRegisterUncreatableType<EnumOBJ>("an.qt.EnumOBJ", 1, 0, "EnumOBJ", QStringLiteral("EnumOBJ注册失败！"));
    qmlRegisterSingletonType<UserOpts>("an.qt.UserOpts", 1, 0, "UserOpts", userOptsProvider);
    qmlRegisterSingletonType<CamOpts>("an.qt.CamOpts", 1, 0, "CamOpts", camOptsProvider);
    qmlRegisterSingletonType<IC_MainControl>("an.qt.MainCtrl", 1, 0, "MainCtrl", mainCtrlProvider);
    qmlRegisterType<ImagePaintedItem>("an.qt.ImagePaintedItem", 1, 0, "ImagePaintedItem");
    qmlRegisterType<DetailImageItem>("an.qt.DetailImageItem", 1, 0, "DetailImageItem");
    qmlRegisterSingletonType<LocalFolders>("an.qt.LocalFolders", 1, 0, "LocalFolders",
                                           [](QQmlEngine*, QJSEngine*) -> QObject* { return new LocalFolders; });
}

void chooseVirtualCabinet()
{
    useVirtualCabinet(parseTimeScale(qgetenv("TAVRILL_TIME_SCALE")));
}

void applyVirtualBoardEnvironment()
{
    const QString fault = qEnvironmentVariable("TAVRILL_VIRTUAL_BOARD");
    if (fault.isEmpty())
        return;
    // The board starts on first need; its script holds from before that.
    vboard::BoardTestControl control(vboard::VirtualBoard::processBoard());
    if (fault == QLatin1String("silent"))
        control.setSilent(true);
    else if (fault == QLatin1String("wrong-handshake"))
        control.setHandshake(vboard::HandshakeMode::Wrong);
    else
        qWarning() << "TAVRILL_VIRTUAL_BOARD: unknown fault" << fault;
}

namespace {
// Where each kind of lens sees the virtual scene sharp: well inside the range its search sweeps
// (the board lens 1000 to 3500, the SMBus lens within the limits it reports).
constexpr int kBoardLensBestFocus = 1810;
constexpr int kSmbusLensBestFocus = 4000;
} // namespace

void applyVirtualCabinetModel(int authorityType)
{
    const MachineModel::Configuration* configuration = MachineModel::configurationOf(authorityType);
    if (!configuration)
        return;
    switch (configuration->camera) {
    case MachineModel::Camera::Tucsen695:
        tucamtest::setModel(tucamtest::Model::Cam695);
        break;
    case MachineModel::Camera::TucsenFL9BW:
        tucamtest::setModel(tucamtest::Model::FL9BW);
        break;
    case MachineModel::Camera::TucsenS20Mini:
        tucamtest::setModel(tucamtest::Model::S20Mini);
        break;
    default:
        break;
    }
    const MachineModel::Lens lens = configuration->lens;
    vcab::CabinetState::instance().update([lens](vcab::CabinetSnapshot& s) {
        s.fixedLens = lens == MachineModel::Lens::Manual;
        s.bestFocus = lens == MachineModel::Lens::Smbus ? kSmbusLensBestFocus : kBoardLensBestFocus;
    });
}
