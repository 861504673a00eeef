// The exported driver calls: each logs itself, meets the injected faults, and turns the model's
// failures into a status and this thread's error code. No exception leaves a call.
#include <cstring>
#include <new>

#include "device.h"

namespace {

thread_local int16_t t_lastError = KX_ERR_NONE;

template <typename Body>
kx_status call(const char* name, uint32_t param, int16_t attribute, Body&& body)
{
    kx::Library& library = kx::Library::instance();
    const size_t line = library.logCall(name, param);
    int16_t code;
    try {
        library.checkFault(name, param, attribute);
        body();
        return KX_SUCCESS;
    } catch (const kx::Failure& failure) {
        code = failure.code;
    } catch (const std::bad_alloc&) {
        code = KX_ERR_CAMERA_FAILED;
    } catch (...) {
        code = KX_ERR_CAMERA_FAILED;
    }
    t_lastError = code;
    library.logFailure(line, code);
    return KX_FAILURE;
}

template <typename Body>
kx_status call(const char* name, Body&& body)
{
    return call(name, 0, -1, std::forward<Body>(body));
}

void need(const void* pointer)
{
    if (!pointer)
        throw kx::Failure{KX_ERR_NULL_POINTER};
}

const char* messageOf(int16_t code)
{
    switch (code) {
    case KX_ERR_NONE: return "No error";
    case KX_ERR_NOT_INIT: return "Library not initialised";
    case KX_ERR_ALREADY_INIT: return "Library already initialised";
    case KX_ERR_NULL_POINTER: return "Null pointer argument";
    case KX_ERR_BAD_INDEX: return "Index out of range";
    case KX_ERR_NO_CAMERA: return "No camera of that name";
    case KX_ERR_CAM_OPEN: return "Camera already open";
    case KX_ERR_BAD_HANDLE: return "Invalid camera handle";
    case KX_ERR_BAD_PARAM: return "Unknown parameter";
    case KX_ERR_BAD_ATTR: return "Attribute not available for this parameter";
    case KX_ERR_READ_ONLY: return "Parameter is read only";
    case KX_ERR_OUT_OF_RANGE: return "Value out of range";
    case KX_ERR_BAD_REGION: return "Invalid region";
    case KX_ERR_BAD_MODE: return "Mode not supported";
    case KX_ERR_BUSY: return "Acquisition in progress";
    case KX_ERR_NOT_SETUP: return "Acquisition not set up";
    case KX_ERR_BUFFER_SMALL: return "Buffer too small for one frame";
    case KX_ERR_NO_FRAME: return "No frame available";
    case KX_ERR_BAD_EVENT: return "Unknown callback event";
    case KX_ERR_CAMERA_FAILED: return "Camera failure";
    default: return nullptr;
    }
}

} // namespace

extern "C" {

KX_API kx_status kx_kestrix_init(void)
{
    return call("kx_kestrix_init", [] { kx::Library::instance().init(); });
}

KX_API kx_status kx_kestrix_uninit(void)
{
    return call("kx_kestrix_uninit", [] { kx::Library::instance().uninit(); });
}

KX_API kx_status kx_cam_get_total(int16_t* total)
{
    return call("kx_cam_get_total", [&] {
        need(total);
        *total = kx::Library::instance().cameraCount();
    });
}

KX_API kx_status kx_cam_get_name(int16_t index, char* name)
{
    return call("kx_cam_get_name", [&] {
        need(name);
        const std::string text = kx::Library::instance().cameraName(index);
        std::memset(name, 0, KX_NAME_LEN);
        std::memcpy(name, text.data(), std::min<size_t>(text.size(), KX_NAME_LEN - 1));
    });
}

KX_API kx_status kx_cam_open(const char* name, int16_t* hcam, int16_t mode)
{
    return call("kx_cam_open", [&] {
        need(name);
        need(hcam);
        if (mode != KX_OPEN_EXCLUSIVE)
            throw kx::Failure{KX_ERR_BAD_MODE};
        *hcam = kx::Library::instance().open(std::string(name, strnlen(name, KX_NAME_LEN)));
    });
}

KX_API kx_status kx_cam_close(int16_t hcam)
{
    return call("kx_cam_close", [&] { kx::Library::instance().close(hcam); });
}

KX_API int16_t kx_error_code(void)
{
    kx::Library::instance().logCall("kx_error_code", 0);
    return t_lastError;
}

KX_API kx_status kx_error_message(int16_t code, char* msg)
{
    return call("kx_error_message", [&] {
        need(msg);
        std::memset(msg, 0, KX_ERROR_MSG_LEN);
        const char* text = messageOf(code);
        if (!text)
            throw kx::Failure{KX_ERR_BAD_INDEX};
        std::strncpy(msg, text, KX_ERROR_MSG_LEN - 1);
    });
}

KX_API kx_status kx_get_param(int16_t hcam, uint32_t param_id, int16_t attribute, void* value)
{
    return call("kx_get_param", param_id, attribute, [&] {
        need(value);
        kx::Library::instance().camera(hcam)->getParam(param_id, attribute, value);
    });
}

KX_API kx_status kx_set_param(int16_t hcam, uint32_t param_id, const void* value)
{
    return call("kx_set_param", param_id, KX_ATTR_CURRENT, [&] {
        need(value);
        kx::Library::instance().camera(hcam)->setParam(param_id, value);
    });
}

KX_API kx_status kx_exp_setup_cont(int16_t hcam, uint16_t rgn_total, const rgn_type* rgn_array, int16_t exp_mode,
                                   uint32_t exposure_time, uint32_t* frame_bytes, int16_t buffer_mode)
{
    return call("kx_exp_setup_cont", [&] {
        need(rgn_array);
        need(frame_bytes);
        auto camera = kx::Library::instance().camera(hcam);
        if (rgn_total != 1)
            throw kx::Failure{KX_ERR_BAD_REGION};
        if (buffer_mode != KX_BUFFER_CIRCULAR)
            throw kx::Failure{KX_ERR_BAD_MODE};
        *frame_bytes = camera->setup(true, 1, rgn_array[0], exp_mode, exposure_time);
    });
}

KX_API kx_status kx_exp_start_cont(int16_t hcam, void* pixel_stream, uint32_t size)
{
    return call("kx_exp_start_cont",
                [&] { kx::Library::instance().camera(hcam)->start(true, pixel_stream, size); });
}

KX_API kx_status kx_exp_setup_seq(int16_t hcam, uint16_t exp_total, uint16_t rgn_total, const rgn_type* rgn_array,
                                  int16_t exp_mode, uint32_t exposure_time, uint32_t* exp_bytes)
{
    return call("kx_exp_setup_seq", [&] {
        need(rgn_array);
        need(exp_bytes);
        auto camera = kx::Library::instance().camera(hcam);
        if (rgn_total != 1)
            throw kx::Failure{KX_ERR_BAD_REGION};
        *exp_bytes = camera->setup(false, exp_total, rgn_array[0], exp_mode, exposure_time);
    });
}

KX_API kx_status kx_exp_start_seq(int16_t hcam, void* pixel_stream)
{
    return call("kx_exp_start_seq", [&] { kx::Library::instance().camera(hcam)->start(false, pixel_stream, 0); });
}

KX_API kx_status kx_exp_check_status(int16_t hcam, int16_t* status, uint32_t* byte_cnt)
{
    return call("kx_exp_check_status", [&] {
        need(status);
        need(byte_cnt);
        kx::Library::instance().camera(hcam)->status(status, byte_cnt);
    });
}

KX_API kx_status kx_exp_finish_seq(int16_t hcam, void* pixel_stream, int16_t hbuf)
{
    (void)pixel_stream;
    return call("kx_exp_finish_seq", [&] {
        auto camera = kx::Library::instance().camera(hcam);
        if (hbuf != 0)
            throw kx::Failure{KX_ERR_BAD_MODE};
        camera->finish();
    });
}

KX_API kx_status kx_exp_abort(int16_t hcam, int16_t cam_state)
{
    return call("kx_exp_abort", [&] {
        auto camera = kx::Library::instance().camera(hcam);
        if (cam_state != KX_ABORT_HALT)
            throw kx::Failure{KX_ERR_BAD_MODE};
        camera->abort();
    });
}

KX_API kx_status kx_exp_get_latest_frame(int16_t hcam, void** frame)
{
    return call("kx_exp_get_latest_frame", [&] {
        need(frame);
        *frame = kx::Library::instance().camera(hcam)->latestFrame();
    });
}

KX_API kx_status kx_cam_register_callback_ex3(int16_t hcam, int32_t callback_event, kx_eof_callback callback,
                                              void* context)
{
    return call("kx_cam_register_callback_ex3", [&] {
        auto camera = kx::Library::instance().camera(hcam);
        if (callback_event != KX_EVENT_EOF)
            throw kx::Failure{KX_ERR_BAD_EVENT};
        if (!callback)
            throw kx::Failure{KX_ERR_NULL_POINTER};
        camera->setCallback(callback, context);
    });
}

KX_API kx_status kx_cam_deregister_callback(int16_t hcam, int32_t callback_event)
{
    return call("kx_cam_deregister_callback", [&] {
        auto camera = kx::Library::instance().camera(hcam);
        if (callback_event != KX_EVENT_EOF)
            throw kx::Failure{KX_ERR_BAD_EVENT};
        camera->setCallback(nullptr, nullptr);
    });
}

} // extern "C"
