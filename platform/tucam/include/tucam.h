#pragma once
/* Scientific camera driver interface (virtual cabinet build).
 *
 * Every function returns a TUCAMRET status; exactly TUCAMRET_SUCCESS (1) is success.
 * A handle comes from TUCAM_Dev_Open and stays valid until TUCAM_Dev_Close or TUCAM_Api_Uninit.
 * Frames are 16-bit grey by default; the pixels of a delivered frame start usHeader bytes into
 * pBuffer, rows packed at usWidth pixels. The buffer belongs to the driver (TUCAM_Buf_Alloc /
 * TUCAM_Buf_Release); callers copy what they keep.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TAVRILL_TUCAM_BUILD)
#define TUCAM_API __attribute__((visibility("default")))
#else
#define TUCAM_API
#endif

typedef uint32_t TUCAMRET;

enum {
    TUCAMRET_SUCCESS = 0x00000001,
    TUCAMRET_FAILURE = 0x80000000,
    TUCAMRET_INVALID_HANDLE = 0x80000101,   /* null, closed or unknown handle */
    TUCAMRET_INVALID_PARAM = 0x80000102,    /* null record, value out of range */
    TUCAMRET_NO_MEMORY = 0x80000103,
    TUCAMRET_NOT_SUPPORTED = 0x80000104,    /* id unknown to this camera model */
    TUCAMRET_NO_CAMERA = 0x80000105,        /* API not initialised or no camera present */
    TUCAMRET_BUSY = 0x80000108,             /* refused while a capture runs */
    TUCAMRET_NOT_READY = 0x80000109,        /* no buffer, or capture not started */
    TUCAMRET_TIMEOUT = 0x80000206,          /* frame wait ran out of time */
    TUCAMRET_ABORT = 0x80000207,            /* frame wait broken by TUCAM_Buf_AbortWait or TUCAM_Cap_Stop */
    TUCAMRET_OUT_OF_RANGE = 0x80000311,     /* camera index not below the camera count */
};

typedef void* HDTUCAM;

/* Capability ids (32-bit integer values). */
enum {
    TUIDC_RESOLUTION = 0,       /* resolution mode index; selects the sensor binning of most models */
    TUIDC_BITOFDEPTH = 2,       /* 8 or 16 */
    TUIDC_ATEXPOSURE = 3,       /* camera's own auto-exposure: 0 off, 1 on, 2 once */
    TUIDC_HORIZONTAL = 4,       /* horizontal mirror 0/1 */
    TUIDC_VERTICAL = 5,         /* vertical mirror 0/1 */
    TUIDC_ATLEVELS = 8,         /* automatic levels: bit 0 left, bit 1 right */
    TUIDC_HISTC = 10,           /* histogram statistics 0/1 */
    TUIDC_IMGMODESELECT = 22,   /* image (gain) mode */
    TUIDC_ATEXPOSURE_MODE = 36, /* auto-exposure metering mode */
    TUIDC_BINNING_SUM = 37,     /* binning index of the cameras that bin by table (FL9BW) */
};

/* Property ids (double values, channel 0). */
enum {
    TUIDP_GLOBALGAIN = 0,
    TUIDP_EXPOSURETM = 1,       /* milliseconds */
    TUIDP_BRIGHTNESS = 2,       /* auto-exposure target, mean grey on an 8-bit scale */
    TUIDP_BLACKLEVEL = 3,
    TUIDP_TEMPERATURE = 4,      /* set: cooling set point; get: sensor temperature, degrees Celsius */
    TUIDP_GAMMA = 8,
    TUIDP_CONTRAST = 9,
    TUIDP_LFTLEVELS = 10,
    TUIDP_RGTLEVELS = 11,
    TUIDP_DPCLEVEL = 16,        /* defect-pixel correction strength, 0 off */
    TUIDP_ATEXPOSURE_THRESHOLD = 34, /* auto-exposure settles when the mean is this close to the target */
    TUIDP_EXPOSUREMAX = 37,     /* longest exposure the auto-exposure may choose, ms */
    TUIDP_GAINMAX = 39,         /* highest gain the auto-exposure may choose */
};

/* Information items of TUCAM_Dev_GetInfo. */
enum {
    TUIDI_CAMERA_MODEL = 2,
    TUIDI_CAMERA_SN = 5,        /* identity text; its first half identifies the sensor batch */
};

typedef struct {
    uint32_t uiCamCount;        /* out: cameras present */
    const char* pstrConfigPath; /* in: optional configuration folder, may be null */
} TUCAM_INIT;

typedef struct {
    uint32_t uiIdxOpen;         /* in: camera index */
    HDTUCAM hIdxTUCam;          /* out: handle */
} TUCAM_OPEN;

typedef struct {
    int32_t nID;                /* item or capability id */
    int32_t nValue;             /* in: value whose text is asked (capability texts) */
    char* pText;                /* out: caller's buffer */
    int32_t nTextSize;          /* in: size of pText in bytes */
} TUCAM_VALUE_INFO;

typedef struct {
    int32_t idCapa;
    int32_t nValMin;
    int32_t nValMax;
    int32_t nValDft;
    int32_t nValStep;
} TUCAM_CAPA_ATTR;

typedef struct {
    int32_t idProp;
    int32_t nIdxChn;
    double dbValMin;
    double dbValMax;
    double dbValDft;
    double dbValStep;
} TUCAM_PROP_ATTR;

typedef struct {
    int32_t bEnable;
    int32_t nHOffset;           /* in output (binned) pixels */
    int32_t nVOffset;
    int32_t nWidth;
    int32_t nHeight;
} TUCAM_ROI_ATTR;

typedef struct {
    int32_t nTgrMode;           /* 0 sequence, 1 software trigger */
    int32_t nExpMode;
    int32_t nEdgeMode;
    int32_t nDelayTm;
    int32_t nFrames;
    int32_t nBufFrames;
} TUCAM_TRIGGER_ATTR;

/* Frame record, 56 bytes; stored byte for byte in reference files, so its layout never changes. */
typedef struct {
    char szSignature[8];
    uint16_t usHeader;          /* 8: bytes in front of the pixels in pBuffer */
    uint16_t usOffset;          /* 10 */
    uint16_t usWidth;           /* 12 */
    uint16_t usHeight;          /* 14 */
    uint32_t uiWidthStep;       /* 16: bytes per row */
    uint8_t ucDepth;            /* 20: bits per pixel */
    uint8_t ucFormat;           /* 21: delivered format */
    uint8_t ucChannels;         /* 22 */
    uint8_t ucElemBytes;        /* 23 */
    uint8_t ucFormatGet;        /* 24: requested format (0x11 raw) */
    uint8_t ucReserved[3];      /* 25 */
    uint32_t uiIndex;           /* 28: frame number since TUCAM_Cap_Start */
    uint32_t uiImgSize;         /* 32: pixel bytes */
    uint32_t uiRsdSize;         /* 36: reserved frames in the driver's queue */
    uint32_t uiHstSize;         /* 40 */
    uint32_t uiReserved;        /* 44 */
    uint8_t* pBuffer;           /* 48 */
} TUCAM_FRAME;

typedef struct {
    const char* pstrSavePath;   /* file path without extension */
    TUCAM_FRAME* pFrame;
    int32_t nSaveFmt;           /* 1: raw file (header + pixels) */
} TUCAM_FILE_SAVE;

#define TUFRM_FMT_RAW 0x11

/* Initialises the API and counts the cameras (uiCamCount). Refuses a null record. */
TUCAM_API TUCAMRET TUCAM_Api_Init(TUCAM_INIT* init, int32_t timeoutMs);
/* Closes every open camera and ends the API; safe to call when not initialised. */
TUCAM_API TUCAMRET TUCAM_Api_Uninit(void);

/* Opens camera uiIdxOpen and fills hIdxTUCam. Refuses: not initialised (NO_CAMERA), index (OUT_OF_RANGE). */
TUCAM_API TUCAMRET TUCAM_Dev_Open(TUCAM_OPEN* open);
/* Stops any capture, frees the buffer, wakes a pending wait and closes the camera. Refuses an unknown handle. */
TUCAM_API TUCAMRET TUCAM_Dev_Close(HDTUCAM handle);
/* Writes the text of item nID into pText (terminated, truncated to nTextSize). Refuses unknown items. */
TUCAM_API TUCAMRET TUCAM_Dev_GetInfo(HDTUCAM handle, TUCAM_VALUE_INFO* info);

/* Sets a capability. Refuses ids the model lacks (NOT_SUPPORTED), values outside its range (INVALID_PARAM). */
TUCAM_API TUCAMRET TUCAM_Capa_SetValue(HDTUCAM handle, int32_t id, int32_t value);
/* Reads a capability into *value. Refuses unknown ids and a null pointer. */
TUCAM_API TUCAMRET TUCAM_Capa_GetValue(HDTUCAM handle, int32_t id, int32_t* value);
/* Fills the range of capability attr->idCapa. Refuses unknown ids. */
TUCAM_API TUCAMRET TUCAM_Capa_GetAttr(HDTUCAM handle, TUCAM_CAPA_ATTR* attr);
/* Writes the name of value info->nValue of capability info->nID. Refuses unknown ids and values. */
TUCAM_API TUCAMRET TUCAM_Capa_GetValueText(HDTUCAM handle, TUCAM_VALUE_INFO* info);

/* Sets a property on channel 0. Refuses unknown ids, other channels and values outside the range. */
TUCAM_API TUCAMRET TUCAM_Prop_SetValue(HDTUCAM handle, int32_t id, double value, int32_t channel);
/* Reads a property into *value. Refuses unknown ids and a null pointer. */
TUCAM_API TUCAMRET TUCAM_Prop_GetValue(HDTUCAM handle, int32_t id, double* value, int32_t channel);
/* Fills minimum, maximum, default and step of property attr->idProp. Refuses unknown ids. */
TUCAM_API TUCAMRET TUCAM_Prop_GetAttr(HDTUCAM handle, TUCAM_PROP_ATTR* attr);

/* Allocates the frame buffer for the current resolution and ROI and describes it in *frame.
 * Refuses while a capture runs (BUSY); a buffer already allocated is replaced. */
TUCAM_API TUCAMRET TUCAM_Buf_Alloc(HDTUCAM handle, TUCAM_FRAME* frame);
/* Frees the frame buffer; stops a running capture first. Releasing twice is harmless. */
TUCAM_API TUCAMRET TUCAM_Buf_Release(HDTUCAM handle);
/* Breaks a pending TUCAM_Buf_WaitForFrame (it returns ABORT at once); with none pending while a
 * capture runs, the next wait of that capture returns ABORT at once instead. */
TUCAM_API TUCAMRET TUCAM_Buf_AbortWait(HDTUCAM handle);
/* Blocks until the next frame has been exposed and copies it into the buffer, filling *frame.
 * Ends with ABORT when aborted or stopped, TIMEOUT after timeoutMs; refuses without a capture (NOT_READY). */
TUCAM_API TUCAMRET TUCAM_Buf_WaitForFrame(HDTUCAM handle, TUCAM_FRAME* frame, int32_t timeoutMs);

/* Starts exposing frames into the allocated buffer. Refuses without a buffer (NOT_READY), when running (BUSY). */
TUCAM_API TUCAMRET TUCAM_Cap_Start(HDTUCAM handle, uint32_t mode);
/* Stops the capture and wakes a pending wait; stopping twice is harmless. */
TUCAM_API TUCAMRET TUCAM_Cap_Stop(HDTUCAM handle);
/* Sets the region read out at the next TUCAM_Buf_Alloc, in output pixels, clipped to the sensor.
 * Refuses while a capture runs, negative offsets, offsets outside the sensor and empty sizes. */
TUCAM_API TUCAMRET TUCAM_Cap_SetROI(HDTUCAM handle, TUCAM_ROI_ATTR roi);
/* Sets the trigger record. Refuses while a capture runs and unknown modes. */
TUCAM_API TUCAMRET TUCAM_Cap_SetTrigger(HDTUCAM handle, TUCAM_TRIGGER_ATTR trigger);
/* Reads the trigger record. Refuses a null pointer. */
TUCAM_API TUCAMRET TUCAM_Cap_GetTrigger(HDTUCAM handle, TUCAM_TRIGGER_ATTR* trigger);
/* Releases one frame in software-trigger mode. Refuses without a running capture. */
TUCAM_API TUCAMRET TUCAM_Cap_DoSoftwareTrigger(HDTUCAM handle, uint32_t reserved);

/* Writes the frame as a raw file (format 1: path + ".raw", header and pixels). Refuses other formats. */
TUCAM_API TUCAMRET TUCAM_File_SaveImage(HDTUCAM handle, TUCAM_FILE_SAVE save);

#ifdef __cplusplus
}

static_assert(sizeof(TUCAM_FRAME) == 56, "frame record is 56 bytes");
static_assert(offsetof(TUCAM_FRAME, usHeader) == 8, "header size at 8");
static_assert(offsetof(TUCAM_FRAME, usWidth) == 12, "width at 12");
static_assert(offsetof(TUCAM_FRAME, usHeight) == 14, "height at 14");
static_assert(offsetof(TUCAM_FRAME, ucFormatGet) == 24, "requested format at 24");
static_assert(offsetof(TUCAM_FRAME, uiImgSize) == 32, "image size at 32");
static_assert(offsetof(TUCAM_FRAME, uiRsdSize) == 36, "reserved-frame count at 36");
static_assert(offsetof(TUCAM_FRAME, pBuffer) == 48, "buffer pointer at 48");
#endif
