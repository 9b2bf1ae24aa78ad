// A scripted network enumeration for the recipient tree's tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "app/NetworkTree.h"

namespace hw::test {

struct TFakeNetwork {
  // Results of the two opens and two reads (0: success).
  win32::DWORD open1 = 0, read1 = 0, open2 = 0, read2 = 0;
  std::string provider = "Hallwire Network";
  std::string container = "WORKGROUP";
  std::vector<std::string> computers;  // remote names, e.g. "\\\\ACCOUNTS"
  // A stage-1 read that succeeds with no record at all.
  bool empty_stage1 = false;

  // What the refresh did.
  int opens = 0;
  std::vector<win32::HANDLE> closed;
  std::vector<win32::NETRESOURCEA> requests;  // container record of each open
  std::vector<std::string> request_remote_names;
  std::vector<win32::DWORD> asked_counts, asked_sizes;
  win32::DWORD returned = 0;  // records the last stage-2 read returned
  std::size_t next = 0;       // the stage-2 record the next read starts at
  // How many stage-2 reads succeed before one fails with read2.
  int fail_after_reads = 0;

  TNetEnumApi Api() {
    TNetEnumApi api;
    api.OpenEnum = [this](win32::DWORD scope, win32::DWORD type, win32::DWORD usage, win32::LPNETRESOURCEA res,
                          win32::HANDLE* handle) -> win32::DWORD {
      ++opens;
      next = 0;
      if (scope != win32::RESOURCE_GLOBALNET || type != win32::RESOURCETYPE_ANY ||
          usage != win32::RESOURCEUSAGE_CONTAINER)
        return win32::ERROR_INVALID_PARAMETER;
      requests.push_back(*res);
      request_remote_names.push_back(res->lpRemoteName ? res->lpRemoteName : "<null>");
      // Stage 1 names no container; stage 2 opens the record stage 1 returned.
      const bool stage1 = res->lpRemoteName == nullptr;
      const win32::DWORD result = stage1 ? open1 : open2;
      if (result != 0) return result;
      *handle = stage1 ? 101 : 102;
      return 0;
    };
    api.EnumResource = [this](win32::HANDLE handle, win32::LPDWORD count, win32::LPVOID buffer,
                              win32::LPDWORD size) -> win32::DWORD {
      asked_counts.push_back(*count);
      asked_sizes.push_back(*size);
      if (handle == 101) {
        if (read1 != 0) return read1;
        if (empty_stage1) {
          *count = 0;
          return 0;
        }
        return Fill({container}, provider, count, buffer, size);
      }
      if (handle == 102) {
        if (read2 != 0 && fail_after_reads-- == 0) return read2;
        if (next >= computers.size()) return win32::ERROR_NO_MORE_ITEMS;
        const std::vector<std::string> rest(computers.begin() + static_cast<std::ptrdiff_t>(next), computers.end());
        const win32::DWORD result = Fill(rest, provider, count, buffer, size);
        returned = result == 0 ? *count : 0;
        next += returned;
        return result;
      }
      return win32::ERROR_INVALID_HANDLE;
    };
    api.CloseEnum = [this](win32::HANDLE handle) -> win32::DWORD {
      closed.push_back(handle);
      return 0;
    };
    return api;
  }

  // Lays records out as the platform does: the array first, the strings after it;
  // as many records as fit the count and the buffer. When not even one fits, asks
  // for the size it needs.
  static win32::DWORD Fill(const std::vector<std::string>& names, const std::string& provider, win32::LPDWORD count,
                           void* buffer, win32::LPDWORD buffer_size) {
    const win32::DWORD size = *buffer_size;
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t n = 0;
    auto need = [&](std::size_t k) {
      std::size_t total = k * sizeof(win32::NETRESOURCEA);
      for (std::size_t i = 0; i < k; ++i) total += names[i].size() + 1 + provider.size() + 1;
      return total;
    };
    while (n < names.size() && n < *count && need(n + 1) <= size) ++n;
    if (n == 0 && names.empty()) return win32::ERROR_NO_MORE_ITEMS;
    if (n == 0) {
      *buffer_size = static_cast<win32::DWORD>(need(1));
      return win32::ERROR_MORE_DATA;
    }
    char* strings = reinterpret_cast<char*>(bytes + n * sizeof(win32::NETRESOURCEA));
    for (std::size_t i = 0; i < n; ++i) {
      win32::NETRESOURCEA record{win32::RESOURCE_GLOBALNET, win32::RESOURCETYPE_ANY,
                                 win32::RESOURCEDISPLAYTYPE_SERVER, win32::RESOURCEUSAGE_CONTAINER,
                                 nullptr, nullptr, nullptr, nullptr};
      std::memcpy(strings, names[i].c_str(), names[i].size() + 1);
      record.lpRemoteName = strings;
      strings += names[i].size() + 1;
      std::memcpy(strings, provider.c_str(), provider.size() + 1);
      record.lpProvider = strings;
      strings += provider.size() + 1;
      std::memcpy(bytes + i * sizeof record, &record, sizeof record);
    }
    *count = static_cast<win32::DWORD>(n);
    return 0;
  }
};

}  // namespace hw::test
