// TMediaPlayer: the invisible wave player. It plays one RIFF/WAVE file at a time in the
// background through Qt Multimedia; opening a file closes the one before, cutting off
// its sound.
//
// Use (on the GUI thread):
//   hw::TMediaPlayer sound;
//   sound.SetFileName(path);
//   sound.Open();   // throws hw::EMCIDeviceError with the media system's text
//   sound.Play();   // returns at once; a failure while playing is only recorded in Error()
#pragma once

#include <QObject>
#include <QUrl>
#include <functional>
#include <string>

#include "platform/system/Exception.h"
#include "platform/system/Win32Types.h"

class QAudioOutput;
class QMediaPlayer;

namespace hw {

// An error of the wave player, carrying the media system's text for it.
class EMCIDeviceError : public Exception {
 public:
  using Exception::Exception;
};

// How the last play ended, as told by its completion notice.
enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };
enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

// The file a sound name stands for: a relative name not found from the working folder
// is looked up in dataFolder (normally DataFolder(), where "ring.wav" is shipped).
// Returns the name unchanged when neither holds it.
std::string ResolveSoundPath(const std::string& fileName, const std::string& dataFolder);

class TMediaPlayer : public QObject {
 public:
  explicit TMediaPlayer(QObject* parent = nullptr);
  // Closes an open device, cutting off its sound; no notice follows.
  ~TMediaPlayer() override;

  // The wave file that Open opens (see ResolveSoundPath). An empty name opens an empty
  // recording that plays nothing.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name) { file_name_ = name; }
  // Play starts from the beginning when the position is at the end (default true).
  bool AutoRewind() const { return auto_rewind_; }
  void SetAutoRewind(bool on) { auto_rewind_ = on; }

  // Closes the device still open, then opens FileName. A file that is missing or not a
  // readable wave file it can play raises EMCIDeviceError with the media system's text
  // ("Cannot find the specified file. ...", "The specified file cannot be played ...");
  // the player then stays closed.
  void Open();
  // Starts playing and returns at once. Raises "No MCI device open" when nothing is open.
  void Play();
  // Closes the device, cutting off a sound still playing (its notice says nvAborted).
  void Close();

  bool IsOpen() const { return open_; }
  // The identifier of the open device, 0 while closed.
  win32::WORD DeviceID() const { return device_id_; }
  // The result code of the last command (0: success), e.g. MCIERR_FILE_NOT_FOUND.
  win32::DWORD Error() const { return error_; }
  // The media system's text for Error().
  std::string ErrorMessage() const;
  TMPModes Mode() const;
  // Length of the open file and current position, in milliseconds.
  win32::DWORD Length() const { return open_ ? length_ms_ : 0; }
  win32::DWORD Position() const;
  // How the last play ended; valid after its OnNotify.
  TMPNotifyValues NotifyValue() const { return notify_value_; }
  // Raised on the GUI thread when a play ends, is cut off or fails.
  void SetOnNotify(std::function<void(TMediaPlayer&)> handler) { on_notify_ = std::move(handler); }

 private:
  // A new player for source_, whose notices count only while it is the current one.
  void MakeDevice();
  void ReleaseDevice();
  void Restart();
  void PostNotify(TMPNotifyValues value);
  void Finished(TMPNotifyValues value);

  std::string file_name_;
  bool auto_rewind_ = true;
  bool open_ = false;
  bool playing_ = false;
  bool at_end_ = false;
  bool notify_pending_ = false;  // a play waits for its completion notice
  win32::WORD device_id_ = 0;
  win32::WORD last_device_id_ = 0;
  win32::DWORD error_ = 0;
  win32::DWORD length_ms_ = 0;
  TMPNotifyValues notify_value_ = nvSuccessful;
  std::function<void(TMediaPlayer&)> on_notify_;
  QUrl source_;
  QMediaPlayer* player_ = nullptr;  // children of this object; null for an empty recording
  QAudioOutput* output_ = nullptr;
};

}  // namespace hw
