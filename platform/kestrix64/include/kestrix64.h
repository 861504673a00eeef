/* kestrix64: driver library of the second camera family (stand-in for this machine).
 *
 * Conventions: every call returns a kx_status, KX_SUCCESS (1) or KX_FAILURE (0); after a failure
 * kx_error_code() on the same thread gives the reason (KX_ERR_*), kx_error_message() its text.
 * Cameras are addressed by the 16-bit handle kx_cam_open() returns. Parameter values are passed
 * through pointers whose type follows the parameter's type (KX_PARAM_TYPE of its identifier):
 *   KX_TYPE_INT16 int16_t, KX_TYPE_UNS32 / KX_TYPE_UNS32_B uint32_t, KX_TYPE_ENUM int32_t,
 *   KX_TYPE_BOOLEAN uint16_t (0 or 1), KX_TYPE_CHAR_PTR a char buffer of KX_NAME_LEN bytes.
 * Attributes: KX_ATTR_CURRENT, KX_ATTR_MIN, KX_ATTR_MAX, KX_ATTR_DEFAULT have the parameter's
 * type; KX_ATTR_COUNT is a uint32_t (number of entries of an index parameter, text length of a
 * text parameter including its terminator); KX_ATTR_TYPE a uint16_t; KX_ATTR_AVAIL a uint16_t. */
#ifndef KESTRIX64_H
#define KESTRIX64_H

#include <stdint.h>

#if defined(KESTRIX64_BUILD)
#define KX_API __attribute__((visibility("default")))
#else
#define KX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t kx_status;
#define KX_SUCCESS 1
#define KX_FAILURE 0

#define KX_NAME_LEN 32       /* camera, feature and parameter names, terminator included */
#define KX_ERROR_MSG_LEN 255 /* error texts, terminator included */

/* Error codes of kx_error_code(). */
enum {
    KX_ERR_NONE = 0,
    KX_ERR_NOT_INIT = 101,       /* the library is not initialised */
    KX_ERR_ALREADY_INIT = 102,   /* kx_kestrix_init() twice */
    KX_ERR_NULL_POINTER = 103,   /* a required pointer is null */
    KX_ERR_BAD_INDEX = 104,      /* camera index out of range */
    KX_ERR_NO_CAMERA = 105,      /* no camera of that name */
    KX_ERR_CAM_OPEN = 106,       /* the camera is already open */
    KX_ERR_BAD_HANDLE = 107,     /* handle of no open camera */
    KX_ERR_BAD_PARAM = 108,      /* unknown parameter identifier */
    KX_ERR_BAD_ATTR = 109,       /* attribute the parameter does not have */
    KX_ERR_READ_ONLY = 110,      /* parameter cannot be written */
    KX_ERR_OUT_OF_RANGE = 111,   /* value outside the parameter's minimum and maximum */
    KX_ERR_BAD_REGION = 112,     /* region empty, outside the sensor or with binning 0 */
    KX_ERR_BAD_MODE = 113,       /* exposure, buffer, open or abort mode not supported */
    KX_ERR_BUSY = 114,           /* an acquisition is running on the camera */
    KX_ERR_NOT_SETUP = 115,      /* acquisition started without its setup */
    KX_ERR_BUFFER_SMALL = 116,   /* buffer smaller than one frame */
    KX_ERR_NO_FRAME = 117,       /* no frame delivered yet */
    KX_ERR_BAD_EVENT = 118,      /* unknown callback event */
    KX_ERR_CAMERA_FAILED = 119,  /* the camera reported a failure (injected faults) */
};

/* Acquisition region: serial (x) first, last, binning; parallel (y) first, last, binning, in
 * sensor pixels. A frame holds ((s2 + 1 - s1) / sbin) x ((p2 + 1 - p1) / pbin) 16-bit pixels,
 * row by row. */
typedef struct rgn_type {
    uint16_t s1, s2, sbin;
    uint16_t p1, p2, pbin;
} rgn_type;

/* The 48-byte frame information passed to the end-of-frame callback. */
typedef struct kx_frame_info {
    uint32_t frame_nr;        /* 1 for the first frame after a start */
    int16_t hcam;
    uint16_t reserved0;
    int64_t timestamp_bof;    /* microseconds since the start, beginning of exposure */
    int64_t timestamp_eof;    /* microseconds since the start, end of readout */
    uint32_t exposure_time;   /* in the exposure-time resolution of the setup */
    uint32_t frame_bytes;
    uint16_t width;           /* pixels of the region after binning */
    uint16_t height;
    uint8_t reserved1[12];
} kx_frame_info;

#ifdef __cplusplus
static_assert(sizeof(kx_frame_info) == 48, "frame information is 48 bytes");
#else
_Static_assert(sizeof(kx_frame_info) == 48, "frame information is 48 bytes");
#endif

/* Parameter identifiers; the top byte is the value type. */
#define KX_PARAM_TYPE(id) (((uint32_t)(id) >> 24) & 0xFFu)
enum {
    KX_TYPE_INT16 = 0x01,
    KX_TYPE_UNS32 = 0x06,
    KX_TYPE_UNS32_B = 0x07,
    KX_TYPE_ENUM = 0x09,
    KX_TYPE_BOOLEAN = 0x0B,
    KX_TYPE_CHAR_PTR = 0x0D,
};
#define PARAM_TEMP 0x0102020Du             /* sensor temperature, hundredths of a degree, read only */
#define PARAM_TEMP_SETPOINT 0x0102020Eu    /* cooling set point, hundredths of a degree */
#define PARAM_CLEAR_MODE 0x0902020Bu       /* sensor clearing mode 0..4 */
#define PARAM_GAIN_INDEX 0x01020200u       /* gain 1..3 (x1, x2, x4) */
#define PARAM_SPDTAB_INDEX 0x01020201u     /* readout speed 0..2 */
#define PARAM_PP_INDEX 0x0102021Fu         /* selects a post-processing feature */
#define PARAM_PP_FEAT_NAME 0x0D02021Eu     /* name of the selected feature */
#define PARAM_PP_FEAT_ID 0x06020225u       /* identifier of the selected feature */
#define PARAM_PP_PARAM_INDEX 0x01020221u   /* selects a parameter of the selected feature */
#define PARAM_PP_PARAM_NAME 0x0D020222u    /* name of the selected parameter */
#define PARAM_PP_PARAM_ID 0x06020226u      /* identifier of the selected parameter */
#define PARAM_PP_PARAM 0x07020223u         /* value of the selected parameter */
#define PARAM_EXP_RES 0x09030002u          /* exposure-time unit: 0 ms, 1 us, 2 s */
#define PARAM_HOT_PIXEL_FIX 0x0B0300A8u    /* camera-side hot-pixel correction on/off */
#define PARAM_FRAME_AVERAGE 0x0B0300AAu    /* camera-side frame averaging on/off */

#define KX_ATTR_CURRENT 0
#define KX_ATTR_COUNT 1
#define KX_ATTR_TYPE 2
#define KX_ATTR_MIN 3
#define KX_ATTR_MAX 4
#define KX_ATTR_DEFAULT 5
#define KX_ATTR_AVAIL 8

#define KX_EXP_RES_MS 0
#define KX_EXP_RES_US 1
#define KX_EXP_RES_S 2

#define KX_OPEN_EXCLUSIVE 0        /* the only open mode */
#define KX_EXP_MODE_TIMED 0        /* internal trigger, timed exposure */
#define KX_EXP_MODE_TIMED_OUT 1792 /* the same with the exposure-out line driven */
#define KX_BUFFER_CIRCULAR 1       /* continuous mode overwrites the oldest frame */
#define KX_ABORT_HALT 1            /* the only abort mode: stop and keep the camera ready */
#define KX_EVENT_EOF 1             /* end of frame */

/* Sequence status of kx_exp_check_status(). */
#define KX_STATUS_IDLE 0
#define KX_STATUS_EXPOSING 1
#define KX_STATUS_READING 2
#define KX_STATUS_COMPLETE 3
#define KX_STATUS_FAILED 4

/* End-of-frame callback: runs on the library's acquisition thread, once per finished frame.
 * It may call kx_exp_get_latest_frame() and kx_exp_abort(); closing and uninitialising are refused. */
typedef void (*kx_eof_callback)(const kx_frame_info* info, void* context);

/* Initialises the library and finds the cameras.
 * Refuses a second call before kx_kestrix_uninit (KX_ERR_ALREADY_INIT). */
KX_API kx_status kx_kestrix_init(void);
/* Stops every acquisition, closes every camera and releases the library.
 * Refuses when not initialised (KX_ERR_NOT_INIT), from inside a callback (KX_ERR_BUSY). */
KX_API kx_status kx_kestrix_uninit(void);
/* Number of cameras attached (0 is a success).
 * Refuses null (KX_ERR_NULL_POINTER), not initialised (KX_ERR_NOT_INIT). */
KX_API kx_status kx_cam_get_total(int16_t* total);
/* Copies the name of camera index into name (KX_NAME_LEN bytes).
 * Refuses null, an index out of range (KX_ERR_BAD_INDEX), not initialised. */
KX_API kx_status kx_cam_get_name(int16_t index, char* name);
/* Opens the named camera and gives its handle; cooling starts towards the set point.
 * Refuses null, an unknown name (KX_ERR_NO_CAMERA), an open camera (KX_ERR_CAM_OPEN), mode other than 0. */
KX_API kx_status kx_cam_open(const char* name, int16_t* hcam, int16_t mode);
/* Stops the camera's acquisition and closes it; its callbacks are dropped.
 * Refuses a handle of no open camera (KX_ERR_BAD_HANDLE), from inside a callback (KX_ERR_BUSY). */
KX_API kx_status kx_cam_close(int16_t hcam);
/* The code of this thread's last failure (KX_ERR_NONE after none). Never fails. */
KX_API int16_t kx_error_code(void);
/* Copies the text of an error code into msg (KX_ERROR_MSG_LEN bytes).
 * Refuses null and an unknown code (returns KX_FAILURE, msg left empty). */
KX_API kx_status kx_error_message(int16_t code, char* msg);
/* Reads one attribute of a parameter into value (type as described above).
 * Refuses a bad handle, an unknown parameter (KX_ERR_BAD_PARAM), an attribute it lacks (KX_ERR_BAD_ATTR), null. */
KX_API kx_status kx_get_param(int16_t hcam, uint32_t param_id, int16_t attribute, void* value);
/* Writes the current value of a parameter from value (type as described above).
 * Refuses a bad handle, unknown or read-only parameters, values outside min..max (KX_ERR_OUT_OF_RANGE), null. */
KX_API kx_status kx_set_param(int16_t hcam, uint32_t param_id, const void* value);
/* Prepares continuous acquisition of one region; gives the bytes of one frame.
 * Refuses rgn_total other than 1, a bad region, exposure modes other than 0 and 1792, buffer mode other than 1,
 * a running acquisition (KX_ERR_BUSY). */
KX_API kx_status kx_exp_setup_cont(int16_t hcam, uint16_t rgn_total, const rgn_type* rgn_array, int16_t exp_mode,
                                   uint32_t exposure_time, uint32_t* frame_bytes, int16_t buffer_mode);
/* Starts continuous acquisition into the caller's ring buffer (size / frame bytes frames, reused in turn).
 * Refuses without a setup (KX_ERR_NOT_SETUP), a buffer smaller than one frame (KX_ERR_BUFFER_SMALL), busy. */
KX_API kx_status kx_exp_start_cont(int16_t hcam, void* pixel_stream, uint32_t size);
/* Prepares a sequence of exp_total frames of one region; gives the bytes of the whole sequence.
 * Refuses exp_total 0, rgn_total other than 1, a bad region, exposure modes other than 0 and 1792, busy. */
KX_API kx_status kx_exp_setup_seq(int16_t hcam, uint16_t exp_total, uint16_t rgn_total, const rgn_type* rgn_array,
                                  int16_t exp_mode, uint32_t exposure_time, uint32_t* exp_bytes);
/* Starts the prepared sequence into the caller's buffer (the bytes the setup gave).
 * Refuses without a setup, null, busy. */
KX_API kx_status kx_exp_start_seq(int16_t hcam, void* pixel_stream);
/* Status of the sequence (KX_STATUS_*) and the bytes delivered so far.
 * Refuses a bad handle, null. */
KX_API kx_status kx_exp_check_status(int16_t hcam, int16_t* status, uint32_t* byte_cnt);
/* Ends a sequence without waiting: stops any acquisition, status back to idle; the next start needs a setup.
 * Refuses a bad handle, hbuf other than 0 (KX_ERR_BAD_MODE). */
KX_API kx_status kx_exp_finish_seq(int16_t hcam, void* pixel_stream, int16_t hbuf);
/* Stops any acquisition of the camera; no callback runs after it returns (called from a callback: none
 * after that one). Refuses a bad handle, modes other than 1 (KX_ERR_BAD_MODE). */
KX_API kx_status kx_exp_abort(int16_t hcam, int16_t cam_state);
/* Gives the address of the newest finished frame in the caller's buffer.
 * Refuses a bad handle, null, no frame since the start (KX_ERR_NO_FRAME). */
KX_API kx_status kx_exp_get_latest_frame(int16_t hcam, void** frame);
/* Registers the callback of an event (KX_EVENT_EOF) with a context; replaces an earlier one.
 * Refuses a bad handle, unknown events (KX_ERR_BAD_EVENT), a null callback. */
KX_API kx_status kx_cam_register_callback_ex3(int16_t hcam, int32_t callback_event, kx_eof_callback callback,
                                              void* context);
/* Drops the callback of an event; no call of it starts after this returns.
 * Refuses a bad handle, unknown events. */
KX_API kx_status kx_cam_deregister_callback(int16_t hcam, int32_t callback_event);

#ifdef __cplusplus
}
#endif

#endif
