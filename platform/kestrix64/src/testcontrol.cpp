#include <algorithm>
#include <cstring>

#include "kestrix64_test.h"
#include "device.h"

extern "C" {

KX_API void kxtest_reset(void) { kx::Library::instance().reset(); }
KX_API void kxtest_set_camera_count(int16_t count) { kx::Library::instance().setCameraCount(count); }

KX_API void kxtest_inject_fault(const char* call, uint32_t param_id, int16_t attribute, int16_t error_code,
                                int32_t skip, int32_t times)
{
    if (call)
        kx::Library::instance().addFault({call, param_id, attribute, error_code, skip, times});
}

KX_API void kxtest_clear_faults(void) { kx::Library::instance().clearFaults(); }
KX_API void kxtest_set_silent(int silent) { kx::Library::instance().setSilent(silent != 0); }

KX_API void kxtest_script_temperatures(const int16_t* values, int32_t count)
{
    if (values || count == 0)
        kx::Library::instance().scriptTemperatures(values, values ? count : 0);
}

KX_API void kxtest_pp_clear(void) { kx::Library::instance().ppClear(); }
KX_API void kxtest_pp_add_feature(const char* name, uint32_t id) { kx::Library::instance().ppAddFeature(name, id); }

KX_API void kxtest_pp_add_param(const char* name, uint32_t id, uint32_t min, uint32_t max, uint32_t def)
{
    kx::Library::instance().ppAddParam(name, id, min, max, def);
}

KX_API uint32_t kxtest_pp_value(uint16_t feature, uint16_t param)
{
    return kx::Library::instance().ppValue(feature, param);
}

KX_API void kxtest_fail_frames(int32_t count) { kx::Library::instance().failFrames(count); }
KX_API void kxtest_set_frame_metadata(uint32_t bytes) { kx::Library::instance().setMetadata(bytes); }

KX_API int32_t kxtest_call_log(char* buffer, int32_t size)
{
    const std::string log = kx::Library::instance().callLog();
    if (buffer && size > 0) {
        const size_t n = std::min<size_t>(log.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, log.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(log.size());
}

KX_API int32_t kxtest_call_count(void) { return kx::Library::instance().callCount(); }
KX_API void kxtest_clear_call_log(void) { kx::Library::instance().clearCallLog(); }
KX_API uint32_t kxtest_frames_delivered(void) { return kx::Library::instance().framesDelivered(); }

} // extern "C"
