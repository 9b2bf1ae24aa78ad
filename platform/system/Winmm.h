// Stand-in for the media control interface's error texts (winmm): the codes the wave
// player reports and their English texts.
#pragma once

#include "platform/system/Win32Types.h"

namespace hw::win32 {

constexpr DWORD MCIERR_BASE = 256;
constexpr DWORD MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr DWORD MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr DWORD MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr DWORD MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr DWORD MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr DWORD MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr DWORD MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr DWORD MCIERR_INTERNAL = MCIERR_BASE + 21;
constexpr DWORD MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr DWORD MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr DWORD MCIERR_NONAPPLICABLE_FUNCTION = MCIERR_BASE + 46;
constexpr DWORD MCIERR_WAVE_OUTPUTSINUSE = MCIERR_BASE + 64;
constexpr DWORD MCIERR_WAVE_OUTPUTSUNSUITABLE = MCIERR_BASE + 70;
constexpr DWORD MCIERR_WAVE_SETOUTPUTUNSUITABLE = MCIERR_BASE + 71;
constexpr DWORD MCIERR_FILE_READ = MCIERR_BASE + 92;

// Copies the text for an MCI error code into lpszErrorText (cut to cchErrorText - 1
// characters); FALSE, with an empty buffer, when the code is unknown.
BOOL mciGetErrorStringA(DWORD fdwError, LPSTR lpszErrorText, UINT cchErrorText);

}  // namespace hw::win32
