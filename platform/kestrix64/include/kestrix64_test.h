/* Test control of the kestrix64 stand-in: not part of the driver interface. Everything here is
 * prefixed kxtest_ so that no program code mistakes it for a driver call. */
#ifndef KESTRIX64_TESTCTL_H
#define KESTRIX64_TESTCTL_H

#include "kestrix64.h"

#ifdef __cplusplus
extern "C" {
#endif

#define KXTEST_ANY_PARAM 0u
#define KXTEST_ANY_ATTR (-1)

/* Uninitialises if needed and restores every default: one camera "KX-2688-00", the default
 * post-processing table, no faults, no scripted temperatures, a live camera, an empty log. */
KX_API void kxtest_reset(void);
/* Number of cameras the next kx_kestrix_init finds (0 = none attached). */
KX_API void kxtest_set_camera_count(int16_t count);
/* Makes matching calls fail with error_code: call is the function name ("kx_set_param"); param_id
 * and attribute narrow kx_get_param / kx_set_param (KXTEST_ANY_*); the first `skip` matches pass,
 * then `times` matches fail (-1: all). Faults add up; kxtest_clear_faults drops them. */
KX_API void kxtest_inject_fault(const char* call, uint32_t param_id, int16_t attribute, int16_t error_code,
                                int32_t skip, int32_t times);
KX_API void kxtest_clear_faults(void);
/* A silent camera accepts acquisitions but never finishes a frame (no callback, status exposing). */
KX_API void kxtest_set_silent(int silent);
/* The next count frames fail in readout: the acquisition stops with KX_STATUS_FAILED, no callback. */
KX_API void kxtest_fail_frames(int32_t count);
/* The next count reads of PARAM_TEMP give these values in order; then the cooling model resumes. */
KX_API void kxtest_script_temperatures(const int16_t* values, int32_t count);
/* Post-processing table: clear it, then add features and parameters (to the last feature added). */
KX_API void kxtest_pp_clear(void);
KX_API void kxtest_pp_add_feature(const char* name, uint32_t id);
KX_API void kxtest_pp_add_param(const char* name, uint32_t id, uint32_t min, uint32_t max, uint32_t def);
/* Current value of a post-processing parameter by feature and parameter index (0 when absent). */
KX_API uint32_t kxtest_pp_value(uint16_t feature, uint16_t param);
/* Extra bytes of metadata the camera adds to every frame (0 by default). */
KX_API void kxtest_set_frame_metadata(uint32_t bytes);
/* The call log: one line per driver call since the last clear, "name" or "name 0xPARAMID",
 * followed by " fail CODE" when it failed. kxtest_call_log copies up to size - 1 bytes and gives
 * the full length. */
KX_API int32_t kxtest_call_log(char* buffer, int32_t size);
KX_API int32_t kxtest_call_count(void);
KX_API void kxtest_clear_call_log(void);
/* Frames finished since the library was initialised, over every camera. */
KX_API uint32_t kxtest_frames_delivered(void);

#ifdef __cplusplus
}
#endif

#endif
