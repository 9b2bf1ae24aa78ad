#include "platform/system/Winmm.h"

#include <cstring>
#include <unordered_map>

namespace hw::win32 {

BOOL mciGetErrorStringA(DWORD fdwError, LPSTR lpszErrorText, UINT cchErrorText) {
  static const std::unordered_map<DWORD, const char*> texts = {
      {MCIERR_INVALID_DEVICE_ID, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
      {MCIERR_HARDWARE,
       "There is a problem with your media device. Make sure it is working correctly or contact the device "
       "manufacturer."},
      {MCIERR_OUT_OF_MEMORY,
       "Not enough memory available for this task. Quit one or more applications to increase available memory, and "
       "then try again."},
      {MCIERR_CANNOT_LOAD_DRIVER, "There is an undetectable problem in loading the specified device driver."},
      {MCIERR_UNSUPPORTED_FUNCTION, "The MCI device you are using does not support the specified command."},
      {MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and filename are correct."},
      {MCIERR_DEVICE_NOT_READY, "The device driver is not ready."},
      {MCIERR_INTERNAL, "A problem occurred in initializing MCI. Try restarting Windows."},
      {MCIERR_OUTOFRANGE, "The specified parameter is out of range for the specified command."},
      {MCIERR_INVALID_FILE,
       "The specified file cannot be played on the specified MCI device. The file may be corrupt, or not in the "
       "correct format."},
      {MCIERR_NONAPPLICABLE_FUNCTION,
       "Cannot carry out the commands in the order specified. Correct the command sequence, and then try again."},
      {MCIERR_WAVE_OUTPUTSINUSE,
       "All wave devices that can play files in the current format are in use. Wait until a wave device is free, "
       "and then try again."},
      {MCIERR_WAVE_OUTPUTSUNSUITABLE,
       "No wave device that can play files in the current format is installed. Use the Drivers option to install "
       "the wave device."},
      {MCIERR_WAVE_SETOUTPUTUNSUITABLE, "The device you are trying to play to cannot recognize the current file format."},
      {MCIERR_FILE_READ,
       "Cannot read the specified file. Make sure the file is still present, or check your disk or network "
       "connection."},
  };
  if (!lpszErrorText || cchErrorText == 0) return FALSE;
  lpszErrorText[0] = '\0';
  auto it = texts.find(fdwError);
  if (it == texts.end()) return FALSE;
  size_t n = std::strlen(it->second);
  if (n > cchErrorText - 1) n = cchErrorText - 1;
  std::memcpy(lpszErrorText, it->second, n);
  lpszErrorText[n] = '\0';
  return TRUE;
}

}  // namespace hw::win32
