// A receiver library for the tests: it does nothing but write down its calls,
// which the test reads back through RecorderCalls().
#include <cstdint>
#include <string>

#include "radio/plugin/ExtIOFunctions.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string g_calls;
}

EXPORT void AOSTRACK_EXTIO_CALL OpenForm(int mode)
{
    g_calls += "OpenForm(" + std::to_string(mode) + ");";
}

EXPORT void AOSTRACK_EXTIO_CALL HideGUI(void)
{
    g_calls += "HideGUI();";
}

EXPORT void AOSTRACK_EXTIO_CALL SetHWLO(int32_t freqHz)
{
    g_calls += "SetHWLO(" + std::to_string(freqHz) + ");";
}

EXPORT const char* RecorderCalls(void)
{
    return g_calls.c_str();
}
