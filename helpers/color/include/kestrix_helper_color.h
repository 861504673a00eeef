/* Colour processing of raw camera frames: debayer, white balance, auto-exposure, format
 * conversion and buffers, on the CPU and, where a usable CUDA device exists, on the GPU.
 * Every function that can fail returns 0 on success or an error code, and keeps a per-thread
 * last-error text (kh_color_get_last_error_message). A context pointer that was released, or
 * never came from kh_color_context_create, is refused with 3 by every call. Codes:
 * 1 unspecified, 2 invalid argument, 3 null argument, 4 out of range, 11 not supported,
 * 100 buffer too small, 101 operation failed, 102 operation in progress, 103 aborted,
 * 0x7F0000 + n camera SDK error n. */
#ifndef KESTRIX_HELPER_COLOR_H
#define KESTRIX_HELPER_COLOR_H

#include <stdint.h>

#include "kestrix64.h" /* rgn_type: the camera SDK's acquisition region */

#if defined(KH_COLOR_BUILDING)
#define KH_COLOR_API __attribute__((visibility("default")))
#else
#define KH_COLOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Colour-frame layouts; frames are dense (no row padding). */
typedef enum kh_color_image_format {
    KH_COLOR_RGB48 = 0,          /* 16-bit interleaved R, G, B */
    KH_COLOR_RGB48_PLANAR = 1,   /* 16-bit planes R, G, B */
    KH_COLOR_RGB24 = 2,          /* 8-bit R, G, B */
    KH_COLOR_BGR24 = 3,          /* 8-bit B, G, R */
    KH_COLOR_RGB24_PLANAR = 4,   /* 8-bit planes R, G, B */
    KH_COLOR_ARGB32 = 5,         /* 8-bit A, R, G, B */
    KH_COLOR_BGRA32 = 6,         /* 8-bit B, G, R, A */
    KH_COLOR_RGBA32 = 7          /* 8-bit R, G, B, A */
} kh_color_image_format;

/* Debayer algorithms (algorithm field). */
enum { KH_COLOR_DEBAYER_FAST = 0, KH_COLOR_DEBAYER_BILINEAR = 1 };
/* Bayer pattern of the sensor's pixel (0, 0), cell read row by row (pattern field). */
enum { KH_COLOR_BAYER_RGGB = 2, KH_COLOR_BAYER_GRBG = 3, KH_COLOR_BAYER_GBRG = 4, KH_COLOR_BAYER_BGGR = 5 };
/* Auto-exposure algorithms (autoExpAlgorithm field). */
enum { KH_COLOR_AUTO_EXPOSURE_AVERAGE = 0, KH_COLOR_AUTO_EXPOSURE_HISTOGRAM = 1 };

/* Settings filled by the client; they take effect at kh_color_context_apply_changes. */
typedef struct kh_color_context {
    uint32_t algorithm;        /* 0 fast 2x2, 1 bilinear; default 1 */
    uint32_t pattern;          /* 2..5; default 2 */
    uint16_t bitDepth;         /* 9..16 for formats 0-1, 1..8 for formats 2-7; default 16 */
    uint32_t rgbFormat;        /* kh_color_image_format; default 0 */
    float redScale;            /* white-balance scales, finite, zero or positive; default 1.0 */
    float greenScale;
    float blueScale;
    void* privateData;         /* owned by the library: do not touch */
    uint32_t autoExpAlgorithm; /* 0 average, 1 histogram; default 0 */
    uint16_t forceCpu;         /* non-zero keeps all work on the CPU */
    uint16_t sensorWidth;      /* bounds regions when the GPU is used; default 0 */
    uint16_t sensorHeight;
    uint16_t alphaValue;       /* alpha and top of output ranges; default 0xFFFF */
} kh_color_context;

/* Writes the library version (2, 1, 86).
 * Refuses a null pointer with 3. */
KH_COLOR_API int32_t kh_color_get_lib_version(uint16_t* major, uint16_t* minor, uint16_t* build);

/* Returns the constant message of a result code (never free it).
 * Refuses nothing: unknown codes give "Unknown error code.". */
KH_COLOR_API const char* kh_color_get_error_message(uint32_t code);

/* Copies this thread's last-error text; *inOutLength: buffer size in, needed size out.
 * Refuses null pointers with 3; a short buffer gets the cut text and 100. */
KH_COLOR_API int32_t kh_color_get_last_error_message(char* buffer, uint32_t* inOutLength);

/* Creates a context with default settings and applies it.
 * Refuses a null pContext with 3; an allocation failure gives 1. */
KH_COLOR_API int32_t kh_color_context_create(kh_color_context** pContext);

/* Releases a context and sets *pContext to null.
 * Refuses nothing: null pointers, and pointers that are not live contexts of this library
 * (released already, or never created by it), are ignored and left as they are. */
KH_COLOR_API void kh_color_context_release(kh_color_context** pContext);

/* Validates the public fields and rebuilds what depends on them (lookup tables, GPU buffers).
 * Refuses a damaged, released or foreign context with 3, running auto-exposure with 102, bad
 * fields (a negative or non-finite scale among them) with 2 or 4. */
KH_COLOR_API int32_t kh_color_context_apply_changes(kh_color_context* ctx);

/* Applies the white-balance tables in place to a colour frame in the applied format.
 * Refuses null pointers with 3, a bad region with 2. */
KH_COLOR_API int32_t kh_color_white_balance(kh_color_context* ctx, void* color, const rgn_type* region);

/* Debayers a raw frame (16-bit samples above bit depth 8, else 8-bit) into a colour frame.
 * Refuses null pointers with 3, a bad region with 2. */
KH_COLOR_API int32_t kh_color_debayer(kh_color_context* ctx, const void* raw, const rgn_type* region, void* color);

/* Debayers like kh_color_debayer, then applies white balance.
 * Refuses null pointers with 3, a bad region with 2. */
KH_COLOR_API int32_t kh_color_debayer_and_white_balance(kh_color_context* ctx, const void* raw,
                                                        const rgn_type* region, void* color);

/* Finds an exposure time on camera hcam by taking frames until the image reaches its target.
 * Refuses null pointers with 3, a bad region with 2, 8-bit contexts with 11; fails with 101,
 * 103 when aborted, 0x7F0000 + n on camera errors. */
KH_COLOR_API int32_t kh_color_auto_exposure(kh_color_context* ctx, int16_t hcam, const rgn_type* region,
                                            void* rawBuffer, uint16_t* colorBuffer, uint32_t* foundExposureTime);

/* Asks a running auto-exposure on this context to stop; callable from any thread.
 * Refuses a damaged context with 3. */
KH_COLOR_API int32_t kh_color_auto_exposure_abort(kh_color_context* ctx);

/* Computes white-balance scales (green 1) from a colour frame in the applied format.
 * Refuses null pointers with 3, a bad region with 2. */
KH_COLOR_API int32_t kh_color_auto_white_balance(kh_color_context* ctx, const rgn_type* region, const void* color,
                                                 float* red, float* green, float* blue);

/* Runs auto-exposure with its own buffers, then white balance on the last frame; null outputs
 * are skipped. Refuses and fails like kh_color_auto_exposure. */
KH_COLOR_API int32_t kh_color_auto_exposure_and_white_balance(kh_color_context* ctx, int16_t hcam,
                                                              const rgn_type* region, uint32_t* exposureTime,
                                                              float* red, float* green, float* blue);

/* Converts a colour frame between any two formats and bit depths (samples shifted by the
 * depth difference). Refuses null pointers with 3, a bad region or format with 2, a bit depth
 * outside its format's range with 4. */
KH_COLOR_API int32_t kh_color_convert_format(kh_color_context* ctx, const rgn_type* region, const void* src,
                                             int32_t srcFormat, uint16_t srcBitDepth, void* dst,
                                             int32_t dstFormat, uint16_t dstBitDepth);

/* Allocates a frame buffer (page-locked with a GPU, so copies can overlap).
 * Refuses a null pBuffer with 3, size 0 with 2; allocation failure gives 1. */
KH_COLOR_API int32_t kh_color_buffer_alloc(void** pBuffer, uint32_t size);

/* Frees a buffer of kh_color_buffer_alloc and sets *pBuffer to null.
 * Refuses nothing: null pointers are ignored. */
KH_COLOR_API void kh_color_buffer_free(void** pBuffer);

/* 1: asks a hybrid-graphics driver to run the process on the discrete CUDA GPU. */
KH_COLOR_API extern int32_t NvOptimusEnablementCuda;

#ifdef __cplusplus
}
#endif

#endif /* KESTRIX_HELPER_COLOR_H */
