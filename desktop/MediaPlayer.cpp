#include "desktop/MediaPlayer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "desktop/WaveHeader.h"
#include "platform/system/ProgramFolders.h"
#include "platform/system/Winmm.h"

namespace hw {

namespace {

using win32::DWORD;

std::string TextFor(DWORD code) {
  char text[4096];
  if (win32::mciGetErrorStringA(code, text, sizeof text)) return text;
  return "Unknown error code";
}

bool ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Checks that path is a readable RIFF/WAVE file in a format the player can play, the
// way the platform's wave device does when it opens one; returns 0 or an MCI error
// code, and the sound's length.
DWORD ProbeWave(const std::string& path, DWORD& lengthMs) {
  // Non-blocking, so that a FIFO under the name cannot stall the window thread.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    if (err == EACCES || err == EPERM) return win32::MCIERR_FILE_READ;
    if (err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG || err == ELOOP) return win32::MCIERR_FILE_NOT_FOUND;
    return win32::MCIERR_FILE_READ;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) return win32::MCIERR_FILE_READ;
  if (!S_ISREG(st.st_mode)) return win32::MCIERR_FILE_NOT_FOUND;
  return CheckWaveHeader(static_cast<std::uint64_t>(st.st_size),
                         [fd](void* buffer, std::size_t size, std::uint64_t offset) {
                           return ReadAt(fd, buffer, size, static_cast<off_t>(offset));
                         },
                         lengthMs);
}

DWORD CodeFor(QMediaPlayer::Error error) {
  switch (error) {
    case QMediaPlayer::FormatError:
      return win32::MCIERR_WAVE_OUTPUTSUNSUITABLE;
    case QMediaPlayer::ResourceError:
    case QMediaPlayer::NetworkError:
    case QMediaPlayer::AccessDeniedError:
      return win32::MCIERR_FILE_READ;
    default:
      return win32::MCIERR_HARDWARE;
  }
}

}  // namespace

std::string ResolveSoundPath(const std::string& fileName, const std::string& dataFolder) {
  if (fileName.empty() || fileName[0] == '/') return fileName;
  struct stat st;
  if (::stat(fileName.c_str(), &st) == 0) return fileName;
  // The desktop starts the program in the home folder, where the shipped sounds
  // never are; the program's data folder holds them.
  const std::string shipped = dataFolder + fileName;
  return ::stat(shipped.c_str(), &st) == 0 ? shipped : fileName;
}

TMediaPlayer::TMediaPlayer(QObject* parent) : QObject(parent) {}

TMediaPlayer::~TMediaPlayer() {
  notify_pending_ = false;  // destroyed with its window: no notice any more
  Close();
}

std::string TMediaPlayer::ErrorMessage() const { return error_ ? TextFor(error_) : std::string(); }

TMPModes TMediaPlayer::Mode() const {
  if (!open_) return mpNotReady;
  return playing_ ? mpPlaying : mpStopped;
}

win32::DWORD TMediaPlayer::Position() const {
  if (!open_ || !player_) return 0;
  if (at_end_) return length_ms_;
  const qint64 position = player_->position();
  if (position <= 0) return 0;
  return position >= length_ms_ ? length_ms_ : static_cast<DWORD>(position);
}

void TMediaPlayer::Open() {
  if (open_) {
    Close();
    error_ = 0;
  }
  DWORD length = 0;
  const std::string path = ResolveSoundPath(file_name_, DataFolder());
  const DWORD code = path.empty() ? 0 : ProbeWave(path, length);
  if (code) {
    error_ = code;
    throw EMCIDeviceError(TextFor(code));
  }
  error_ = 0;
  length_ms_ = length;
  if (!file_name_.empty()) {
    const QString local = QFile::decodeName(QByteArray::fromStdString(path));
    source_ = QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath());
    MakeDevice();
  }
  open_ = true;
  playing_ = false;
  at_end_ = false;
  last_device_id_ = static_cast<win32::WORD>(last_device_id_ + 1);
  if (last_device_id_ == 0) last_device_id_ = 1;
  device_id_ = last_device_id_;
}

void TMediaPlayer::MakeDevice() {
  player_ = new QMediaPlayer(this);
  output_ = new QAudioOutput(player_);
  player_->setAudioOutput(output_);
  QMediaPlayer* device = player_;
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this, device](QMediaPlayer::MediaStatus status) {
    if (device != player_ || status != QMediaPlayer::EndOfMedia) return;
    at_end_ = true;
    playing_ = false;
    Finished(nvSuccessful);
  });
  connect(player_, &QMediaPlayer::errorOccurred, this, [this, device](QMediaPlayer::Error error, const QString&) {
    if (device != player_ || error == QMediaPlayer::NoError) return;
    error_ = CodeFor(error);
    playing_ = false;
    Finished(nvFailure);
  });
  player_->setSource(source_);
}

void TMediaPlayer::Play() {
  if (!open_) throw EMCIDeviceError("No MCI device open");
  if (auto_rewind_ && Position() == Length()) Restart();
  if (notify_pending_) {
    notify_pending_ = false;
    PostNotify(nvSuperseded);
  }
  error_ = 0;
  if (!player_ || at_end_) {
    // Nothing to play: the play is complete at once.
    PostNotify(nvSuccessful);
    return;
  }
  notify_pending_ = true;
  playing_ = true;
  player_->play();
}

void TMediaPlayer::Close() {
  if (!open_) return;
  const bool cut_off = notify_pending_;
  ReleaseDevice();
  open_ = false;
  playing_ = false;
  at_end_ = false;
  notify_pending_ = false;
  device_id_ = 0;
  length_ms_ = 0;
  if (cut_off) PostNotify(nvAborted);
}

void TMediaPlayer::ReleaseDevice() {
  if (!player_) return;
  QObject::disconnect(player_, nullptr, this, nullptr);
  player_->stop();
  player_->setSource(QUrl());
  // Later, because this may run inside a handler of the device's own notice.
  player_->deleteLater();
  player_ = nullptr;
  output_ = nullptr;
}

void TMediaPlayer::Restart() {
  at_end_ = false;
  if (!player_) return;
  // Setting the position back is unreliable on the GStreamer back end, and a player
  // given its source again may still report the end of the finished play, ending the
  // new one at once. A fresh player always starts from the beginning; the old one's
  // late notices no longer reach us.
  ReleaseDevice();
  MakeDevice();
}

void TMediaPlayer::PostNotify(TMPNotifyValues value) {
  QMetaObject::invokeMethod(
      this,
      [this, value] {
        notify_value_ = value;
        if (on_notify_) on_notify_(*this);
      },
      Qt::QueuedConnection);
}

void TMediaPlayer::Finished(TMPNotifyValues value) {
  if (!notify_pending_) return;
  notify_pending_ = false;
  notify_value_ = value;
  if (on_notify_) on_notify_(*this);
}

}  // namespace hw
