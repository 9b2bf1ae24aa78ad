// Keeps a window where the user last had it: every time the window is shown the store
// reads the window's section of a profile file and applies the stored position, size
// (for a resizable window) and state; when the window's close is accepted, and when the
// window is destroyed without a save since the last restore, it writes them back.
//
//   auto* placement = new TFormPlacement(this);   // a child of the window it keeps
//   placement->SetIniFileName("hwire.ini");        // no folder: the per-user profile folder
//   placement->SetIniSection("MainForm");
//   TWinMinMaxInfo limits;
//   limits.MinTrackHeight = 352;
//   limits.MinTrackWidth = 391;
//   placement->SetMinMaxInfo(limits);
//
// Keys of the section: "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos(WxH)", "MinMaxPos",
// "NormPos(WxH)", "NormPos", "Visible" (WxH: the primary screen's size at the save).
// "NormPos" holds left, top, right, bottom: left and top are the position of the window's
// frame, right - left and bottom - top the size of its client area (Qt's pos() and size()),
// so that a value read back puts the window exactly where it was. Positions and sizes are
// in Qt's device-independent pixels; "PixelsPerInch" is the primary screen's logical DPI.
//
// Where the window system places windows itself (Wayland) the store keeps sizes and
// states only: it writes back the position it read, or "NoPosition=1" with left and top
// 0 when it read none, and a window restored elsewhere from such a section keeps its own
// position. A stored frame corner that lies on no screen is moved onto the primary one.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace hw {

enum TPlacementOption : unsigned {
  fpState = 1,          // window state (normal, minimised, maximised)
  fpPosition = 2,       // position and size
  fpActiveControl = 4,  // the focused control, by object name
};
using TPlacementOptions = unsigned;

// Size limits of the window; 0 leaves a limit as the window has it. The track sizes
// become the window's minimum and maximum size; a maximised size (the size the window
// takes when maximised) becomes the maximum size where no maximum track size is set.
// The maximised position is left to the window manager. Under Wayland only the
// minimum sizes are applied.
struct TWinMinMaxInfo {
  int MaxPosLeft = 0;
  int MaxPosTop = 0;
  int MaxSizeHeight = 0;
  int MaxSizeWidth = 0;
  int MaxTrackHeight = 0;
  int MaxTrackWidth = 0;
  int MinTrackHeight = 0;
  int MinTrackWidth = 0;

  bool DefaultMinMaxInfo() const;
  bool operator==(const TWinMinMaxInfo& other) const;
};

// The placement record of a window (the Win32 WINDOWPLACEMENT fields).
struct TWindowPlacement {
  unsigned flags = 0;
  unsigned showCmd = 1;
  int minX = -1, minY = -1;                      // minimised position
  int maxX = -1, maxY = -1;                      // maximised position
  int left = 0, top = 0, right = 0, bottom = 0;  // normal position (see above)
};

// Show commands and placement flags as stored in "ShowCmd" and "Flags".
constexpr unsigned SW_HIDE = 0;
constexpr unsigned SW_SHOWNORMAL = 1;
constexpr unsigned SW_SHOWMINIMIZED = 2;
constexpr unsigned SW_SHOWMAXIMIZED = 3;
constexpr unsigned WPF_SETMINPOSITION = 1;
constexpr unsigned WPF_RESTORETOMAXIMIZED = 2;

// True where windows cannot place themselves (Wayland): only sizes and states are kept.
bool WindowSystemPlacesWindows();

class TFormPlacement : public QObject {
 public:
  using TErrorHandler = std::function<void(const std::exception& error)>;

  // Attaches to the window (and becomes its child, so it is freed with it).
  explicit TFormPlacement(QWidget* form);
  // Saves once more if the window was restored and not saved since, with "Visible" 1.
  ~TFormPlacement() override;

  // Restore on show and save on close or destruction (default true).
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // Name of the profile file, handed to the profile calls unchanged (default empty:
  // the program's file name with the extension ".INI").
  const std::string& IniFileName() const { return ini_file_name_; }
  void SetIniFileName(const std::string& value) { ini_file_name_ = value; }
  // Section of the window's keys (default empty: the window's class name).
  const std::string& IniSection() const { return ini_section_; }
  void SetIniSection(const std::string& value) { ini_section_ = value; }
  const TWinMinMaxInfo& MinMaxInfo() const { return min_max_info_; }
  // Applies the limits at once and again before every restore.
  void SetMinMaxInfo(const TWinMinMaxInfo& value);
  // What is kept (default fpState | fpPosition).
  TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions value) { options_ = value; }
  // Receives an error of a restore or save run by the window's notifications (for
  // example "Unable to write to hwire.ini"); without one it is printed as a warning.
  void SetOnError(TErrorHandler handler) { on_error_ = std::move(handler); }

  // The file and section actually used.
  std::string EffectiveIniFileName() const;
  std::string EffectiveIniSection() const;

  // Writes the window's placement (nothing while Active and never restored).
  // Throws EIniFileException when the file cannot be written.
  void SaveFormPlacement();
  // Reads and applies the stored placement; a hidden window stays hidden.
  void RestoreFormPlacement();

  // Set by a restore, never cleared.
  bool Restored() const { return restored_; }
  // Cleared by a restore, set by a save.
  bool Saved() const { return saved_; }
  QWidget* Form() const { return form_; }
  // The window's placement as the store reads it, and applying one.
  TWindowPlacement GetWindowPlacement() const;
  void SetWindowPlacement(const TWindowPlacement& placement);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TStoredSection;
  void ApplyMinMaxInfo();
  // The steps of a restore, each for one option.
  bool ReadStoredPosition(const TStoredSection& stored, TWindowPlacement& wp) const;
  void RestorePosition(const TStoredSection& stored, TWindowPlacement& wp);
  void RestoreState(const TStoredSection& stored, unsigned flags);
  void RememberMaximizedPosition();
  void RestoreActiveControl(const TStoredSection& stored);
  void Report(const std::exception& error);
  bool Resizable() const;
  bool CanPlace() const;

  QPointer<QWidget> form_;
  bool active_ = true;
  std::string ini_file_name_;
  std::string ini_section_;
  TWinMinMaxInfo min_max_info_;
  TPlacementOptions options_ = fpState | fpPosition;
  TErrorHandler on_error_;

  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool in_close_ = false;
  // The parts of the placement record that Qt windows do not have.
  int min_x_ = -1, min_y_ = -1, max_x_ = -1, max_y_ = -1;
  // Where the window system places windows itself: the position last read from the file.
  bool have_stored_pos_ = false;
  int stored_left_ = 0, stored_top_ = 0;
  QSize stored_size_;
};

}  // namespace hw
