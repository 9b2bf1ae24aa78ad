#include "desktop/FormPlacement.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

#include "platform/store/Profile.h"
#include "platform/store/IniFile.h"

namespace hw {

namespace {

constexpr win32::DWORD kValueSize = 2048;
// Set in a section saved where the window system placed the window and no position was known.
constexpr char kNoPositionKey[] = "NoPosition";

std::string ReadString(const std::string& file, const std::string& section, const std::string& key) {
  char buffer[kValueSize];
  win32::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, kValueSize, file.c_str());
  return buffer;
}

void WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
  if (!win32::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()))
    throw EIniFileException("Unable to write to " + file);
}

// A whole decimal integer that fits 32 bits, with an optional sign.
bool ParseDecimal(const std::string& text, int* out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return false;
  *out = static_cast<int>(value);
  return true;
}

// Decimal, or hexadecimal after "0x"/"0X" (up to eight digits, taken as 32-bit two's
// complement); anything else gives the default.
int ParseInteger(const std::string& text, int def) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() - 2 > 8) return def;
    std::uint32_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        return def;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<int>(static_cast<std::int32_t>(value));
  }
  int value;
  return ParseDecimal(text, &value) ? value : def;
}

// Splits at every run of blanks and commas.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

int Word(const std::vector<std::string>& words, size_t index, int def) {
  int value;
  if (index < words.size() && ParseDecimal(words[index], &value)) return value;
  return def;
}

std::string FourNumbers(int a, int b, int c, int d) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d,%d,%d,%d", a, b, c, d);
  return buffer;
}

QScreen* PrimaryScreen() { return QGuiApplication::primaryScreen(); }

// The key name followed by the primary screen's size, "NormPos(1024x768)".
std::string ResolutionKey(const char* key) {
  QSize size;
  if (QScreen* screen = PrimaryScreen()) size = screen->geometry().size();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s(%dx%d)", key, size.width(), size.height());
  return buffer;
}

int PixelsPerInch() {
  QScreen* screen = PrimaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(
      std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

enum class TShownState { Normal, Minimized, Maximized };

// The state a stored "ShowCmd" asks for; an unknown command keeps the normal state.
TShownState ShownStateOf(int show_cmd) {
  switch (show_cmd) {
    case SW_SHOWMINIMIZED:
    case 6:  // SW_MINIMIZE
    case 7:  // SW_SHOWMINNOACTIVE
      return TShownState::Minimized;
    case SW_SHOWMAXIMIZED:
      return TShownState::Maximized;
    default:  // SW_SHOWNORMAL, SW_SHOW, SW_RESTORE and the rest
      return TShownState::Normal;
  }
}

}  // namespace

// The window's section of the profile file.
struct TFormPlacement::TStoredSection {
  std::string file;
  std::string section;

  std::string Read(const std::string& key) const { return ReadString(file, section, key); }
  // The key stored for the primary screen's current size, else the plain key.
  std::string ReadForScreen(const char* key) const {
    std::string value = Read(ResolutionKey(key));
    return value.empty() ? Read(key) : value;
  }
};

bool TWinMinMaxInfo::DefaultMinMaxInfo() const { return *this == TWinMinMaxInfo(); }

bool TWinMinMaxInfo::operator==(const TWinMinMaxInfo& o) const {
  return MaxPosLeft == o.MaxPosLeft && MaxPosTop == o.MaxPosTop && MaxSizeHeight == o.MaxSizeHeight &&
         MaxSizeWidth == o.MaxSizeWidth && MaxTrackHeight == o.MaxTrackHeight && MaxTrackWidth == o.MaxTrackWidth &&
         MinTrackHeight == o.MinTrackHeight && MinTrackWidth == o.MinTrackWidth;
}

TFormPlacement::TFormPlacement(QWidget* form) : QObject(form), form_(form) {
  if (!form_) return;
  form_->installEventFilter(this);
  // A dialog ended with accept() or reject() closes without a close event; its result
  // counts as a close query that allowed closing.
  if (auto* dialog = qobject_cast<QDialog*>(form_.data())) {
    connect(dialog, &QDialog::finished, this, [this] {
      if (in_close_ || !active_ || !form_ || !form_->windowHandle()) return;
      try {
        SaveFormPlacement();
      } catch (const std::exception& error) {
        Report(error);
      }
    });
  }
}

TFormPlacement::~TFormPlacement() {
  if (!form_) return;
  form_->removeEventFilter(this);
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveFormPlacement();
    } catch (const std::exception& error) {
      Report(error);
    }
    destroying_ = false;
  }
}

std::string TFormPlacement::EffectiveIniFileName() const {
  if (!ini_file_name_.empty()) return ini_file_name_;
  std::string path = QCoreApplication::applicationFilePath().toStdString();
  if (path.empty()) path = "hallwire";
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
  return path + ".INI";
}

std::string TFormPlacement::EffectiveIniSection() const {
  if (!ini_section_.empty()) return ini_section_;
  if (!form_) return std::string();
  std::string name = form_->metaObject()->className();
  const size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TFormPlacement::SetMinMaxInfo(const TWinMinMaxInfo& value) {
  min_max_info_ = value;
  ApplyMinMaxInfo();
}

void TFormPlacement::ApplyMinMaxInfo() {
  if (!form_ || min_max_info_.DefaultMinMaxInfo()) return;
  const TWinMinMaxInfo& info = min_max_info_;
  auto limit = [](int v) { return std::clamp(v, 0, QWIDGETSIZE_MAX); };
  QSize min = form_->minimumSize();
  QSize max = form_->maximumSize();
  if (info.MinTrackWidth) min.setWidth(limit(info.MinTrackWidth));
  if (info.MinTrackHeight) min.setHeight(limit(info.MinTrackHeight));
  // A Wayland compositor that makes a window maximised or full screen requires it to
  // take the size it gives, even past its maximum: there the limits are minimums only,
  // whatever maximum the window set itself.
  if (WindowSystemPlacesWindows()) {
    form_->setMinimumSize(min);
    form_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return;
  }
  if (info.MaxTrackWidth)
    max.setWidth(limit(info.MaxTrackWidth));
  else if (info.MaxSizeWidth)
    max.setWidth(limit(info.MaxSizeWidth));
  if (info.MaxTrackHeight)
    max.setHeight(limit(info.MaxTrackHeight));
  else if (info.MaxSizeHeight)
    max.setHeight(limit(info.MaxSizeHeight));
  // A maximum below the minimum would leave Qt with contradicting limits.
  max = max.expandedTo(min);
  form_->setMinimumSize(min);
  form_->setMaximumSize(max);
}

bool TFormPlacement::Resizable() const {
  if (form_->windowFlags() & Qt::MSWindowsFixedSizeDialogHint) return false;
  return form_->minimumSize() != form_->maximumSize();
}

bool WindowSystemPlacesWindows() {
  // Wayland clients cannot place their windows: the compositor does.
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool TFormPlacement::CanPlace() const { return !WindowSystemPlacesWindows(); }

void TFormPlacement::Report(const std::exception& error) {
  if (on_error_)
    on_error_(error);
  else
    qWarning("%s", error.what());
}

TWindowPlacement TFormPlacement::GetWindowPlacement() const {
  TWindowPlacement wp;
  wp.minX = min_x_;
  wp.minY = min_y_;
  wp.maxX = max_x_;
  wp.maxY = max_y_;
  if (!form_) return wp;
  const Qt::WindowStates state = form_->windowState();
  if ((state & Qt::WindowMinimized) && (state & Qt::WindowMaximized)) wp.flags |= WPF_RESTORETOMAXIMIZED;
  if (state & Qt::WindowMinimized)
    wp.showCmd = SW_SHOWMINIMIZED;
  else if (state & Qt::WindowMaximized)
    wp.showCmd = SW_SHOWMAXIMIZED;
  else
    wp.showCmd = SW_SHOWNORMAL;
  // The frame's offset from the client area, as the window system last reported it.
  const QPoint frame_offset = form_->geometry().topLeft() - form_->pos();
  QRect normal = form_->geometry();
  if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    const QRect restored = form_->normalGeometry();
    if (!restored.isEmpty()) normal = restored;
    // Under Wayland the compositor's size can reach the window before its state does and
    // then passes for the normal size: the size read at the restore (or the smallest the
    // window takes) is kept instead.
    if (!CanPlace() && normal.size() == form_->size()) {
      const QSize kept = stored_size_.isValid() ? stored_size_ : form_->minimumSize();
      if (!kept.isEmpty()) normal.setSize(kept);
    }
  }
  wp.left = normal.x() - frame_offset.x();
  wp.top = normal.y() - frame_offset.y();
  if (!CanPlace()) {
    // Qt's position here is the offset of its own decorations, not a place on a screen.
    wp.left = have_stored_pos_ ? stored_left_ : 0;
    wp.top = have_stored_pos_ ? stored_top_ : 0;
  }
  wp.right = ClampToInt(static_cast<std::int64_t>(wp.left) + normal.width());
  wp.bottom = ClampToInt(static_cast<std::int64_t>(wp.top) + normal.height());
  return wp;
}

void TFormPlacement::SetWindowPlacement(const TWindowPlacement& wp) {
  min_x_ = wp.minX;
  min_y_ = wp.minY;
  max_x_ = wp.maxX;
  max_y_ = wp.maxY;
  if (!form_) return;

  // Sizes as the window system can take them: at least one pixel, at most the desktop.
  QSize desktop(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (QScreen* screen = PrimaryScreen()) desktop = screen->virtualSize();
  const int width = static_cast<int>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(wp.right) - wp.left, 1, std::max(1, desktop.width())));
  const int height = static_cast<int>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(wp.bottom) - wp.top, 1, std::max(1, desktop.height())));
  int left = wp.left;
  int top = wp.top;

  // A window whose frame corner (and with it the title bar) lies on no screen is moved
  // onto the primary one.
  bool on_screen = false;
  for (QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().contains(left, top)) on_screen = true;
  QScreen* primary = PrimaryScreen();
  if (!on_screen && primary) {
    const QRect area = primary->availableGeometry();
    left = std::clamp(left, area.left(), std::max(area.left(), area.right() + 1 - width));
    top = std::clamp(top, area.top(), std::max(area.top(), area.bottom() + 1 - height));
  }

  // The normal geometry is set in the normal state; a maximised or full-screen window
  // returns to its state afterwards, keeping the new geometry for its next restore.
  const Qt::WindowStates state = form_->windowState();
  const Qt::WindowStates enlarged = state & (Qt::WindowMaximized | Qt::WindowFullScreen);
  if (enlarged) form_->setWindowState(state & ~enlarged);
  if (CanPlace()) {
    // Before the window is mapped its frame is unknown and QWidget::move would put the
    // client area at the frame's position; the window system places the frame itself.
    QWindow* handle = form_->windowHandle();
    form_->move(left, top);
    if (handle && !handle->isVisible()) handle->setFramePosition(QPoint(left, top));
  }
  form_->resize(width, height);
  if (enlarged) form_->setWindowState(state);

  // The show command sets the state; a window is never shown or hidden here.
  Qt::WindowStates next = form_->windowState();
  switch (wp.showCmd) {
    case SW_SHOWNORMAL:
      next &= ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
      break;
    case SW_SHOWMINIMIZED:
      next |= Qt::WindowMinimized;
      if (wp.flags & WPF_RESTORETOMAXIMIZED) next |= Qt::WindowMaximized;
      break;
    case SW_SHOWMAXIMIZED:
      next = (next & ~Qt::WindowMinimized) | Qt::WindowMaximized;
      break;
    default:
      break;
  }
  if (next != form_->windowState()) form_->setWindowState(next);
}

void TFormPlacement::SaveFormPlacement() {
  if (!form_) return;
  if (active_ && !restored_) return;
  const std::string file = EffectiveIniFileName();
  const std::string section = EffectiveIniSection();
  const TWindowPlacement wp = GetWindowPlacement();

  WriteString(file, section, "Flags", std::to_string(wp.flags));
  WriteString(file, section, "ShowCmd", std::to_string(wp.showCmd));
  WriteString(file, section, "PixelsPerInch", std::to_string(PixelsPerInch()));
  const std::string min_max = FourNumbers(wp.minX, wp.minY, wp.maxX, wp.maxY);
  WriteString(file, section, ResolutionKey("MinMaxPos"), min_max);
  WriteString(file, section, "MinMaxPos", min_max);
  const std::string normal = FourNumbers(wp.left, wp.top, wp.right, wp.bottom);
  WriteString(file, section, ResolutionKey("NormPos"), normal);
  WriteString(file, section, "NormPos", normal);
  // The marker goes with a position that is none; a real one written later drops it.
  if (!CanPlace() && !have_stored_pos_)
    WriteString(file, section, kNoPositionKey, "1");
  else if (!ReadString(file, section, kNoPositionKey).empty())
    win32::WritePrivateProfileStringA(section.c_str(), kNoPositionKey, nullptr, file.c_str());
  WriteString(file, section, "Visible", destroying_ ? "1" : "0");
  if (options_ & fpActiveControl) {
    QWidget* focused = form_->focusWidget();
    WriteString(file, section, "ActiveControl", focused ? focused->objectName().toStdString() : std::string());
  }
  saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
  if (!form_) return;
  saved_ = false;
  ApplyMinMaxInfo();
  const TStoredSection stored{EffectiveIniFileName(), EffectiveIniSection()};

  TWindowPlacement wp = GetWindowPlacement();
  if (!form_->isVisible()) wp.showCmd = SW_HIDE;
  if (options_ & fpPosition) RestorePosition(stored, wp);
  if (options_ & fpState)
    RestoreState(stored, wp.flags);
  else
    form_->update();
  restored_ = true;

  if (min_max_info_.DefaultMinMaxInfo() && form_->windowHandle()) RememberMaximizedPosition();
  if (options_ & fpActiveControl) RestoreActiveControl(stored);
}

bool TFormPlacement::ReadStoredPosition(const TStoredSection& stored, TWindowPlacement& wp) const {
  wp.flags = static_cast<unsigned>(ParseInteger(stored.Read("Flags"), static_cast<int>(wp.flags)));
  bool found = false;
  if (const std::string value = stored.ReadForScreen("MinMaxPos"); !value.empty()) {
    const auto words = Words(value);
    wp.minX = Word(words, 0, 0);
    wp.minY = Word(words, 1, 0);
    wp.maxX = Word(words, 2, 0);
    wp.maxY = Word(words, 3, 0);
    found = true;
  }
  if (const std::string value = stored.ReadForScreen("NormPos"); !value.empty()) {
    const auto words = Words(value);
    wp.left = Word(words, 0, wp.left);
    wp.top = Word(words, 1, wp.top);
    wp.right = Word(words, 2, wp.right);
    wp.bottom = Word(words, 3, wp.bottom);
    found = true;
  }
  // Positions stored at another pixel density would put the window elsewhere.
  const int ppi = PixelsPerInch();
  return found && ParseInteger(stored.Read("PixelsPerInch"), ppi) == ppi;
}

void TFormPlacement::RestorePosition(const TStoredSection& stored, TWindowPlacement& wp) {
  if (!ReadStoredPosition(stored, wp)) return;
  const bool no_position = ParseInteger(stored.Read(kNoPositionKey), 0) != 0;
  if (no_position) {
    // Saved under Wayland: only the size is the user's; the window keeps its position.
    const TWindowPlacement here = GetWindowPlacement();
    wp.right = ClampToInt(static_cast<std::int64_t>(here.left) + wp.right - wp.left);
    wp.bottom = ClampToInt(static_cast<std::int64_t>(here.top) + wp.bottom - wp.top);
    wp.left = here.left;
    wp.top = here.top;
  }
  if (!Resizable()) {
    wp.right = ClampToInt(static_cast<std::int64_t>(wp.left) + form_->width());
    wp.bottom = ClampToInt(static_cast<std::int64_t>(wp.top) + form_->height());
  }
  if (wp.right <= wp.left) return;
  if (!CanPlace()) {
    have_stored_pos_ = !no_position;
    stored_left_ = wp.left;
    stored_top_ = wp.top;
    stored_size_ = QSize(wp.right - wp.left, wp.bottom - wp.top);
  }
  SetWindowPlacement(wp);
}

void TFormPlacement::RestoreState(const TStoredSection& stored, unsigned flags) {
  const TShownState shown = ShownStateOf(ParseInteger(stored.Read("ShowCmd"), 0));
  Qt::WindowStates state = form_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
  if (shown == TShownState::Maximized) state |= Qt::WindowMaximized;
  if (state != form_->windowState()) form_->setWindowState(state);
  if (shown != TShownState::Minimized) {
    form_->update();
    return;
  }
  // Minimised once the show has finished, as if by the user, so that a window that
  // handles minimising itself (the main window hides instead) does not change its
  // visibility in the middle of being shown.
  const Qt::WindowStates minimized =
      Qt::WindowMinimized | ((flags & WPF_RESTORETOMAXIMIZED) ? Qt::WindowMaximized : Qt::WindowNoState);
  QPointer<QWidget> form = form_;
  QMetaObject::invokeMethod(
      form_,
      [form, minimized] {
        if (form) form->setWindowState(form->windowState() | minimized);
      },
      Qt::QueuedConnection);
}

void TFormPlacement::RememberMaximizedPosition() {
  // The maximised position of a window without limits: just outside its borders.
  const QRect frame = form_->frameGeometry();
  const QRect client = form_->geometry();
  max_x_ = -(client.left() - frame.left());
  max_y_ = -(frame.bottom() - client.bottom());
}

void TFormPlacement::RestoreActiveControl(const TStoredSection& stored) {
  const std::string name = stored.Read("ActiveControl");
  if (name.empty()) return;
  if (QWidget* control = form_->findChild<QWidget*>(QString::fromStdString(name))) control->setFocus();
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched != form_) return false;
  switch (event->type()) {
    case QEvent::Show:
      // A window coming back from the minimised state is not being shown anew.
      if (active_ && !event->spontaneous()) {
        try {
          RestoreFormPlacement();
        } catch (const std::exception& error) {
          Report(error);
        }
      }
      return false;
    case QEvent::Close: {
      if (in_close_) return false;
      // The window's own handler decides first whether it closes.
      QPointer<TFormPlacement> self(this);
      in_close_ = true;
      QCoreApplication::sendEvent(form_, event);
      if (!self) return true;  // the handler deleted the window and this store with it
      in_close_ = false;
      if (form_ && event->isAccepted() && active_ && form_->windowHandle()) {
        try {
          SaveFormPlacement();
        } catch (const std::exception& error) {
          Report(error);
        }
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace hw
