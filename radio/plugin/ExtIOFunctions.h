#pragma once
// The three C functions of a receiver-control library as the tracker calls
// them by name. Results are never used, so all of them return nothing.
#include <stdint.h>

#if defined(_WIN32)
#define AOSTRACK_EXTIO_CALL __stdcall
#else
#define AOSTRACK_EXTIO_CALL
#endif

extern "C" {
// Opens the receiver (the tracker passes -1); SetHWLO calls follow.
typedef void(AOSTRACK_EXTIO_CALL* OpenFormFunction)(int);
// Releases the receiver; no more SetHWLO calls until the next OpenForm.
typedef void(AOSTRACK_EXTIO_CALL* HideGuiFunction)(void);
// Sets the receiver's local oscillator, in Hz.
typedef void(AOSTRACK_EXTIO_CALL* SetHwloFunction)(int32_t);
// Optional: the library's latest news about its link to the receiver, one
// line of text ("" when nothing to say); the caller logs each change.
typedef const char*(AOSTRACK_EXTIO_CALL* ReceiverStatusFunction)(void);
}
