// The RIFF/WAVE header check of the wave player, without Qt and without files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/system/Win32Types.h"

namespace hw {

// Reads size bytes at offset into buffer; false when they are not all there.
using TReadAt = std::function<bool(void* buffer, std::size_t size, std::uint64_t offset)>;

// Checks a file of size bytes for a RIFF/WAVE header in a format the player plays:
// 0 (and the sound's length in lengthMs) or MCIERR_INVALID_FILE.
win32::DWORD CheckWaveHeader(std::uint64_t size, const TReadAt& readAt, win32::DWORD& lengthMs);

}  // namespace hw
