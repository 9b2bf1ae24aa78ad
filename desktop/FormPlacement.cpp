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

#include "platform/Profile.h"
#include "platform/IniFile.h"

namespace hw {

namespace {

constexpr win32::DWORD kValueSize = 2048;

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

}  // namespace

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

bool TFormPlacement::CanPlace() const {
  // Wayland clients cannot place their windows: the compositor does.
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

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
  }
  wp.left = normal.x() - frame_offset.x();
  wp.top = normal.y() - frame_offset.y();
  if (!CanPlace() && have_stored_pos_) {
    wp.left = stored_left_;
    wp.top = stored_top_;
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

  // A window that would lie wholly outside every screen is moved onto the primary one.
  const QRect wanted(left, top, width, height);
  bool on_screen = false;
  for (QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().intersects(wanted)) on_screen = true;
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
  if (CanPlace()) form_->move(left, top);
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
  const std::string file = EffectiveIniFileName();
  const std::string section = EffectiveIniSection();
  auto read = [&](const std::string& key) { return ReadString(file, section, key); };

  TWindowPlacement wp = GetWindowPlacement();
  if (!form_->isVisible()) wp.showCmd = SW_HIDE;

  if (options_ & fpPosition) {
    wp.flags = static_cast<unsigned>(ParseInteger(read("Flags"), static_cast<int>(wp.flags)));
    bool found = false;
    std::string value = read(ResolutionKey("MinMaxPos"));
    if (value.empty()) value = read("MinMaxPos");
    if (!value.empty()) {
      const auto words = Words(value);
      wp.minX = Word(words, 0, 0);
      wp.minY = Word(words, 1, 0);
      wp.maxX = Word(words, 2, 0);
      wp.maxY = Word(words, 3, 0);
      found = true;
    }
    value = read(ResolutionKey("NormPos"));
    if (value.empty()) value = read("NormPos");
    if (!value.empty()) {
      const auto words = Words(value);
      wp.left = Word(words, 0, wp.left);
      wp.top = Word(words, 1, wp.top);
      wp.right = Word(words, 2, wp.right);
      wp.bottom = Word(words, 3, wp.bottom);
      found = true;
    }
    const int ppi = PixelsPerInch();
    if (ParseInteger(read("PixelsPerInch"), ppi) != ppi) found = false;
    if (found) {
      if (!Resizable()) {
        wp.right = ClampToInt(static_cast<std::int64_t>(wp.left) + form_->width());
        wp.bottom = ClampToInt(static_cast<std::int64_t>(wp.top) + form_->height());
      }
      if (wp.right > wp.left) {
        if (!CanPlace()) {
          have_stored_pos_ = true;
          stored_left_ = wp.left;
          stored_top_ = wp.top;
        }
        SetWindowPlacement(wp);
      }
    }
  }

  if (options_ & fpState) {
    enum { kNormal, kMinimized, kMaximized } result = kNormal;
    switch (ParseInteger(read("ShowCmd"), 0)) {
      case 1:
      case 5:
      case 9:
        result = kNormal;
        break;
      case 2:
      case 6:
      case 7:
        result = kMinimized;
        break;
      case 3:
        result = kMaximized;
        break;
      default:
        break;  // keeps the preselected state
    }
    Qt::WindowStates state = form_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (result == kMaximized) state |= Qt::WindowMaximized;
    if (state != form_->windowState()) form_->setWindowState(state);
    if (result == kMinimized) {
      // Minimised once the show has finished, as if by the user, so that a window
      // that handles minimising itself (the main window hides instead) does not
      // change its visibility in the middle of being shown.
      const Qt::WindowStates minimized =
          Qt::WindowMinimized | ((wp.flags & WPF_RESTORETOMAXIMIZED) ? Qt::WindowMaximized : Qt::WindowNoState);
      QPointer<QWidget> form = form_;
      QMetaObject::invokeMethod(
          form_,
          [form, minimized] {
            if (form) form->setWindowState(form->windowState() | minimized);
          },
          Qt::QueuedConnection);
    } else {
      form_->update();
    }
  } else {
    form_->update();
  }
  restored_ = true;

  if (min_max_info_.DefaultMinMaxInfo() && form_->windowHandle()) {
    // The maximised position of a window without limits: just outside its borders.
    const QRect frame = form_->frameGeometry();
    const QRect client = form_->geometry();
    max_x_ = -(client.left() - frame.left());
    max_y_ = -(frame.bottom() - client.bottom());
  }

  if (options_ & fpActiveControl) {
    const std::string name = read("ActiveControl");
    if (!name.empty())
      if (QWidget* control = form_->findChild<QWidget*>(QString::fromStdString(name))) control->setFocus();
  }
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
