/* Particle location and trajectory linking: a flat C interface.
 * Every function returns 0 on success or an error code; the text of the last failure on the
 * calling thread is read with kh_track_get_last_error_message. A context is used by one thread
 * at a time. An invalid context is one that was released, never came from an initialiser, or
 * whose memory was overwritten. */
#ifndef KESTRIX_HELPER_TRACK_H
#define KESTRIX_HELPER_TRACK_H

#include <stdint.h>

#if defined(KH_TRACK_BUILDING)
#define KH_TRACK_API __attribute__((visibility("default")))
#else
#define KH_TRACK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One located particle of a frame (40 bytes). */
typedef struct kh_track_event {
    int16_t index; /* position in its frame's list, from 0 */
    double x;      /* column of the particle's pixel */
    double y;      /* row of the particle's pixel */
    double m0;     /* intensity moment */
    double m2;     /* second-order moment, pixels squared */
} kh_track_event;

/* One particle of the current frame after linking (56 bytes). */
typedef struct kh_track_particle {
    int16_t index; /* index of the event it came from */
    double x;      /* the event's x truncated to an integer */
    double y;      /* the event's y truncated to an integer */
    double m0;     /* at float precision */
    double m2;     /* at float precision */
    int32_t id;    /* trajectory identifier, 1, 2, 3, ... in order of creation */
    int32_t state; /* 0 new trajectory, 1 linked over a gap, 2 linked to the previous frame */
    int32_t length; /* frames in the trajectory, this one included */
} kh_track_particle;

/* Opaque tracking context. */
typedef struct kh_track_context kh_track_context;

/* Writes the library version 1.2.62.
 * Refuses a null pointer with 3. */
KH_TRACK_API int32_t kh_track_get_lib_version(uint16_t* major, uint16_t* minor, uint16_t* build);

/* Copies the calling thread's last error text, cut to *inOutLength - 1 characters, and sets
 * *inOutLength to the length needed. Refuses null pointers with 3, a short buffer with 1000. */
KH_TRACK_API int32_t kh_track_get_last_error_message(char* buffer, uint32_t* inOutLength);

/* Returns the constant text of a result code (never freed by the caller).
 * Refuses nothing: unknown codes give "Unknown error code". */
KH_TRACK_API const char* kh_track_get_error_message(int32_t code);

/* Creates a linking context: gaps of up to maxFramesToLink - 1 frames, radius
 * maxDistancePerFrame pixels per frame of gap, maxParticles events per frame.
 * Refuses null pointers with 3, maxFramesToLink outside 2..10 and maxParticles outside
 * 1..32767 with 4, host memory shortage with 13. */
KH_TRACK_API int32_t kh_track_init(kh_track_context** pContext, uint16_t maxFramesToLink,
                                   uint16_t maxDistancePerFrame, uint16_t cpuOnly,
                                   int32_t maxParticles, int32_t* pMaxOutputParticles);

/* Creates a locating and linking context for width x height frames: gaps of up to
 * maxFramesToLink frames, maxTrajectories events per frame; locateParam1 and locateParam2 are
 * the GPU locator's background frame count and threshold factor.
 * Refuses null pointers with 3; maxFramesToLink outside 2..10, maxTrajectories outside
 * 1..32767, a negative distance, a size below 1 x 1 and negative or non-finite locate
 * parameters with 4; a frame size whose buffers exceed the memory that can be had (checked
 * before any is touched) and host memory shortage with 13. */
KH_TRACK_API int32_t PrivateAPI_InitializeWithOrvoLocate(
    kh_track_context** pContext, uint32_t maxFramesToLink, int32_t maxDistancePerFrame,
    int16_t cpuOnly, int32_t maxTrajectories, int32_t* pMaxTrajectoriesOutput,
    int32_t locateParam1, double locateParam2, int32_t width, int32_t height);

/* Locates the particles of one raw frame; *ppParticles points into the context and stays
 * valid until the next call on it.
 * Refuses null pointers with 3, a null or invalid context with 2, a context made by
 * kh_track_init (no frame size) with 11. */
KH_TRACK_API int32_t PrivateAPI_Find_Particles(kh_track_context* ctx, const uint16_t* pFrame,
                                               kh_track_event** ppParticles,
                                               int32_t* pParticleCount);

/* Links the events of the next frame to the trajectories; pParticles receives count records.
 * Refuses a null or invalid context with 2, null pointers with 3, a negative count, more events
 * than the context's capacity and non-finite coordinates or ones beyond 32 bits with 4, a frame
 * once the 32-bit trajectory identifiers run out with 11; a refused frame leaves the outputs
 * and the history untouched. */
KH_TRACK_API int32_t kh_track_link_particles(kh_track_context* ctx, const kh_track_event* pEvents,
                                             int32_t count, kh_track_particle* pParticles,
                                             int32_t* pParticlesCount);

/* Forgets the frame history; trajectory identifiers keep counting.
 * Refuses a null or invalid context with 2. */
KH_TRACK_API int32_t kh_track_reset(kh_track_context* ctx);

/* Destroys the context and sets *pContext to null; a null *pContext is a no-op.
 * Refuses a null pContext with 3, an invalid context with 2; a failure to release device
 * memory still frees the context and clears *pContext, with 1. */
KH_TRACK_API int32_t kh_track_uninit(kh_track_context** pContext);

/* Tells the driver of a hybrid-graphics machine to run the process on the CUDA GPU (value 1). */
KH_TRACK_API extern int32_t NvOptimusEnablementCuda;

#ifdef __cplusplus
}
#endif

#endif /* KESTRIX_HELPER_TRACK_H */
