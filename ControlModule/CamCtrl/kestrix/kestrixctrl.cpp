#include "kestrixctrl.h"

#include <QDebug>
#include <QFontDatabase>
#include <QGuiApplication>


#include "useropts.h"

namespace {

constexpr uint32_t kNoiseReductionParamId = 100;

} // namespace

KestrixCtrl* KestrixCtrl::getInstance()
{
    static KestrixCtrl instance;
    return &instance;
}

KestrixCtrl::KestrixCtrl() : m_ctx(std::make_unique<KestrixCameraContext>()), m_userOpts(UserOpts::getInstance())
{
    // Fonts need the GUI application; a console process (tools, tests) goes without.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        fontId = QFontDatabase::addApplicationFont(":/AlibabaPuHuiTi-2-65-Medium.ttf");
}

// The library's own statics stop its acquisition threads at exit; nothing to call here.
KestrixCtrl::~KestrixCtrl() = default;

void KestrixCtrl::reportError(const char* text)
{
    qDebug() << "相机错误代码：" << kx_error_code() << text;
    emit sig_CamErrorOccur();
}

bool KestrixCtrl::initCamera()
{
    if (m_libInit)
        return true;
    if (kx_kestrix_init() != KX_SUCCESS) {
        reportError("kx_kestrix_init() error");
        return false;
    }
    m_libInit = true;

    int16_t total = 0;
    if (kx_cam_get_total(&total) != KX_SUCCESS) {
        reportError("kx_cam_get_total() error");
        releaseLibrary();
        return false;
    }
    if (total < 1) {
        reportError("no cameras found");
        releaseLibrary();
        return false;
    }
    char name[KX_NAME_LEN] = {};
    if (kx_cam_get_name(0, name) != KX_SUCCESS) {
        reportError("kx_cam_get_name() error");
        releaseLibrary();
        return false;
    }
    name[KX_NAME_LEN - 1] = '\0';
    qDebug() << "相机名称：" << QString::fromLatin1(name);
    if (m_ctx->isCamOpen)
        return true;

    int16_t handle = -1;
    if (kx_cam_open(name, &handle, KX_OPEN_EXCLUSIVE) != KX_SUCCESS) {
        reportError("kx_cam_open() error");
        releaseLibrary();
        return false;
    }
    m_ctx->fillOpened(name, handle);

    const int32_t clearMode = static_cast<int32_t>(m_ctx->clearMode);
    if (kx_set_param(handle, PARAM_CLEAR_MODE, &clearMode) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_CLEAR_MODE) error");
        return false;
    }
    const int16_t setpoint = m_ctx->tempSetpoint;
    if (kx_set_param(handle, PARAM_TEMP_SETPOINT, &setpoint) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_TEMP_SETPOINT) error");
        return false;
    }

    QVector<KestrixPpFeature> table;
    // A table that could not be read has been reported as a camera error: not a success.
    if (!readPpTable(table))
        return false;
    for (const KestrixPpFeature& feature : table) {
        for (const KestrixPpParam& param : feature.params) {
            if (param.id != kNoiseReductionParamId)
                continue;
            if (!SetPpParamValue(feature.index, param.index, 1)) {
                reportError("SetPpParamValue() error");
                return false;
            }
            return true;
        }
    }
    // Writing some other parameter instead would change an unrelated camera setting.
    qDebug() << "post-processing parameter" << kNoiseReductionParamId << "not found, left unset";
    return true;
}

bool KestrixCtrl::readPpTable(QVector<KestrixPpFeature>& table)
{
    table.clear();
    const int16_t h = m_ctx->hcam;
    auto fail = [&](const char* text) {
        reportError(text);
        table.clear();
        return false;
    };
    uint32_t features = 0;
    if (kx_get_param(h, PARAM_PP_INDEX, KX_ATTR_COUNT, &features) != KX_SUCCESS)
        return fail("kx_get_param(PARAM_PP_INDEX, ATTR_COUNT,) error");
    for (uint32_t f = 0; f < features; ++f) {
        KestrixPpFeature feature;
        feature.index = static_cast<uint16_t>(f);
        const int16_t featureIndex = static_cast<int16_t>(f);
        if (kx_set_param(h, PARAM_PP_INDEX, &featureIndex) != KX_SUCCESS)
            return fail("kx_set_param(PARAM_PP_INDEX) error");
        char name[KX_NAME_LEN] = {};
        if (kx_get_param(h, PARAM_PP_FEAT_NAME, KX_ATTR_CURRENT, name) != KX_SUCCESS)
            return fail("kx_get_param(PARAM_PP_FEAT_NAME, ATTR_CURRENT) error");
        name[KX_NAME_LEN - 1] = '\0';
        feature.name = QString::fromLatin1(name);
        if (kx_get_param(h, PARAM_PP_FEAT_ID, KX_ATTR_CURRENT, &feature.id) != KX_SUCCESS)
            return fail("kx_get_param(PARAM_PP_FEAT_ID, ATTR_CURRENT) error");
        uint32_t params = 0;
        if (kx_get_param(h, PARAM_PP_PARAM_INDEX, KX_ATTR_COUNT, &params) != KX_SUCCESS)
            return fail("kx_get_param(PARAM_PP_PARAM_INDEX, ATTR_COUNT) error");
        for (uint32_t p = 0; p < params; ++p) {
            KestrixPpParam param;
            param.index = static_cast<uint16_t>(p);
            const int16_t paramIndex = static_cast<int16_t>(p);
            if (kx_set_param(h, PARAM_PP_PARAM_INDEX, &paramIndex) != KX_SUCCESS)
                return fail("kx_set_param(PARAM_PP_PARAM_INDEX) error");
            char paramName[KX_NAME_LEN] = {};
            if (kx_get_param(h, PARAM_PP_PARAM_NAME, KX_ATTR_CURRENT, paramName) != KX_SUCCESS)
                return fail("kx_get_param(PARAM_PP_PARAM_NAME, ATTR_CURRENT) error");
            paramName[KX_NAME_LEN - 1] = '\0';
            param.name = QString::fromLatin1(paramName);
            if (kx_get_param(h, PARAM_PP_PARAM_ID, KX_ATTR_CURRENT, &param.id) != KX_SUCCESS)
                return fail("kx_get_param(PARAM_PP_PARAM_ID, ATTR_CURRENT) error");
            if (kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_MIN, &param.min) != KX_SUCCESS)
                return fail("kx_get_param(PARAM_PP_PARAM, ATTR_MIN) error");
            if (kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_MAX, &param.max) != KX_SUCCESS)
                return fail("kx_get_param(PARAM_PP_PARAM, ATTR_MAX) error");
            if (kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_DEFAULT, &param.def) != KX_SUCCESS)
                return fail("kx_get_param(PARAM_PP_PARAM, ATTR_DEFAULT) error");
            feature.params.append(param);
        }
        table.append(feature);
    }
    return true;
}

bool KestrixCtrl::SetPpParamValue(uint16_t featureIndex, uint16_t paramIndex, uint32_t value)
{
    const int16_t h = m_ctx->hcam;
    const int16_t feature = static_cast<int16_t>(featureIndex);
    if (kx_set_param(h, PARAM_PP_INDEX, &feature) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_PP_INDEX) error");
        return false;
    }
    const int16_t param = static_cast<int16_t>(paramIndex);
    if (kx_set_param(h, PARAM_PP_PARAM_INDEX, &param) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_PP_PARAM_INDEX) error");
        return false;
    }
    if (kx_set_param(h, PARAM_PP_PARAM, &value) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_PP_PARAM) error");
        return false;
    }
    return true;
}

void KestrixCtrl::closeCamera()
{
    qDebug() << "关闭相机。";
    // Waiters see the abort flags before the library stops writing into their buffers; they are
    // woken only after it has stopped, so none frees a buffer the library still fills.
    m_ctx->setAbortFlags();
    if (m_ctx->isCamOpen) {
        const int16_t handle = m_ctx->hcam;
        // Marked closed first: the error report below makes the error slot close again.
        m_ctx->isCamOpen = false;
        if (kx_exp_abort(handle, KX_ABORT_HALT) != KX_SUCCESS)
            qDebug() << "kx_exp_abort() error" << kx_error_code();
        m_ctx->wakeAll();
        if (kx_cam_close(handle) != KX_SUCCESS)
            reportError("kx_cam_close() error");
    }
    m_ctx->wakeAll();
    qDebug() << "反初始化相机。";
    if (m_libInit)
        releaseLibrary();
}

void KestrixCtrl::releaseLibrary()
{
    // The context stays allocated with its mutexes and condition variables: a thread may still be
    // waiting on them. Its data goes back to zero.
    m_ctx->setAbortFlags();
    m_ctx->wakeAll();
    m_ctx->resetData();
    if (!m_libInit)
        return;
    m_libInit = false;
    if (kx_kestrix_uninit() != KX_SUCCESS)
        reportError("kx_kestrix_uninit() error");
}

int16_t KestrixCtrl::getTemperature()
{
    // A closed camera was reported when it closed; the page's polling must not report it again.
    if (!m_ctx->isCamOpen)
        return 0;
    int16_t temperature = 0;
    if (kx_get_param(m_ctx->hcam, PARAM_TEMP, KX_ATTR_CURRENT, &temperature) != KX_SUCCESS) {
        reportError("kx_get_param(PARAM_TEMP, ATTR_CURRENT) error");
        return 0;
    }
    return temperature;
}

void KestrixCtrl::abortPreview()
{
    m_ctx->previewAbort = true;
    m_ctx->preview.interrupt();
}

void KestrixCtrl::abortEstimate()
{
    m_ctx->estimateAbort = true;
    m_ctx->sequence.interrupt();
}

void KestrixCtrl::abortCapture()
{
    m_ctx->captureAbort = true;
    m_ctx->sequence.interrupt();
}
