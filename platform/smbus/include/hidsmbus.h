#pragma once
/* USB-to-SMBus bridge interface (virtual cabinet build).
 *
 * Every function returns a HID_SMBUS_STATUS, HID_SMBUS_SUCCESS (0) on success. A device handle
 * comes from HidSmbus_Open and stays valid until HidSmbus_Close. Reads are three steps: a read
 * request queues the bytes on the bus, a forced read response makes them available, and read
 * response fetches return them in pieces of at most HID_SMBUS_MAX_READ_RESPONSE bytes.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HID_SMBUS_STATUS;
typedef void* HID_SMBUS_DEVICE;

enum {
    HID_SMBUS_SUCCESS = 0,
    HID_SMBUS_DEVICE_NOT_FOUND = 1,
    HID_SMBUS_INVALID_HANDLE = 2,
    HID_SMBUS_INVALID_DEVICE_OBJECT = 3,
    HID_SMBUS_INVALID_PARAMETER = 4,
    HID_SMBUS_INVALID_REQUEST_LENGTH = 5,
    HID_SMBUS_READ_ERROR = 16,
    HID_SMBUS_WRITE_ERROR = 17,
    HID_SMBUS_READ_TIMED_OUT = 18,
    HID_SMBUS_WRITE_TIMED_OUT = 19,
    HID_SMBUS_DEVICE_IO_FAILED = 20,
    HID_SMBUS_DEVICE_ACCESS_ERROR = 21,
    HID_SMBUS_DEVICE_NOT_SUPPORTED = 22,
};

/* String kinds of HidSmbus_GetString. */
enum {
    HID_SMBUS_GET_VID_STR = 1,
    HID_SMBUS_GET_PID_STR = 2,
    HID_SMBUS_GET_PATH_STR = 3,
    HID_SMBUS_GET_SERIAL_STR = 4,
    HID_SMBUS_GET_MANUFACTURER_STR = 5,
    HID_SMBUS_GET_PRODUCT_STR = 6,
};

/* Transfer status reported with a read response. */
enum {
    HID_SMBUS_S0_IDLE = 0,
    HID_SMBUS_S0_BUSY = 1,
    HID_SMBUS_S0_COMPLETE = 2,
    HID_SMBUS_S0_ERROR = 3,
};

#define HID_SMBUS_DEVICE_STRLEN 260
#define HID_SMBUS_MAX_READ_RESPONSE 61
#define HID_SMBUS_MAX_READ_REQUEST 512

/* Counts the bridges with this vendor and product id into *numDevices. Refuses a null pointer. */
HID_SMBUS_STATUS HidSmbus_GetNumDevices(uint32_t* numDevices, uint16_t vid, uint16_t pid);
/* Copies a string of bridge deviceNum (not opened) into deviceString, HID_SMBUS_DEVICE_STRLEN bytes.
 * Refuses an index beyond the count (DEVICE_NOT_FOUND), unknown kinds and a null buffer. */
HID_SMBUS_STATUS HidSmbus_GetString(uint32_t deviceNum, uint16_t vid, uint16_t pid, char* deviceString,
                                    int32_t options);
/* Opens bridge deviceNum into *device. Refuses unknown indexes (DEVICE_NOT_FOUND) and an opened bridge
 * (DEVICE_ACCESS_ERROR). */
HID_SMBUS_STATUS HidSmbus_Open(HID_SMBUS_DEVICE* device, uint32_t deviceNum, uint16_t vid, uint16_t pid);
/* Closes the bridge. Refuses a handle that is not open (INVALID_DEVICE_OBJECT). */
HID_SMBUS_STATUS HidSmbus_Close(HID_SMBUS_DEVICE device);
/* Sets bit rate, own address, automatic read response, time-outs and retries. Refuses a zero bit
 * rate, an odd address and time-outs above 1000 ms (INVALID_PARAMETER). */
HID_SMBUS_STATUS HidSmbus_SetSmbusConfig(HID_SMBUS_DEVICE device, uint32_t bitRate, uint8_t address,
                                         int32_t autoReadRespond, uint16_t writeTimeout,
                                         uint16_t readTimeout, int32_t sclLowTimeout, uint16_t transferRetries);
/* Sets the bridge's GPIO directions, modes and special functions. */
HID_SMBUS_STATUS HidSmbus_SetGpioConfig(HID_SMBUS_DEVICE device, uint8_t direction, uint8_t mode,
                                        uint8_t special, uint8_t clkDiv);
/* Sets the response time-out in ms of read-response fetches (0: return at once). */
HID_SMBUS_STATUS HidSmbus_SetTimeouts(HID_SMBUS_DEVICE device, uint32_t responseTimeout);
/* Writes numBytesToWrite bytes (1 to 61) to the slave. Refuses other lengths (INVALID_REQUEST_LENGTH);
 * a slave that does not answer gives WRITE_ERROR. */
HID_SMBUS_STATUS HidSmbus_WriteRequest(HID_SMBUS_DEVICE device, uint8_t slaveAddress, uint8_t* buffer,
                                       uint8_t numBytesToWrite);
/* Reads numBytesToRead bytes (1 to 512) from the slave's register pointer. Refuses other lengths. */
HID_SMBUS_STATUS HidSmbus_ReadRequest(HID_SMBUS_DEVICE device, uint8_t slaveAddress, uint16_t numBytesToRead);
/* Makes up to numBytesToRead bytes of the last read request available for fetching. */
HID_SMBUS_STATUS HidSmbus_ForceReadResponse(HID_SMBUS_DEVICE device, uint16_t numBytesToRead);
/* Fetches available bytes (at most HID_SMBUS_MAX_READ_RESPONSE and bufferSize) into buffer, their
 * count into *numBytesRead (0 when none) and the transfer status into *status. Refuses null pointers. */
HID_SMBUS_STATUS HidSmbus_GetReadResponse(HID_SMBUS_DEVICE device, uint8_t* status, uint8_t* buffer,
                                          uint8_t bufferSize, uint8_t* numBytesRead);

#ifdef __cplusplus
}
#endif
