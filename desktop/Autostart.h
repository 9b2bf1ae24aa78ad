// TSunfieldAutostart: registers the running program to be started when the user logs
// in, every time ("Run") or once at the next login ("RunOnce"), for the current user or
// for all users. The registry is the state: every read goes to it, every write takes
// effect at once (and, through the registry stand-in, as an XDG autostart entry, see
// AutostartEntry.h).
//
// Use from the preferences dialog:
//   TSunfieldAutostart autostart;                                  // at dialog creation
//   try { autostart.LoadStored("Quillo 4#Autostart", true, false, false); }
//   catch (const hw::Exception& e) { /* standard error box, then go on */ }
//   ckAutoStart->setChecked(autostart.autostart());                // may throw, see below
//   // ckAutoStart toggled(v): autostart.Setautostart(v);  ckLogon toggled(v): autostart.SetStartNextLogon(v);
#pragma once

#include <string>

#include "platform/system/Exception.h"

namespace hw {

// A registry failure of the autostart component; the message is the text shown to the
// user: "Failed to set data for '<name>'" or "Invalid data type for '<name>'".
class ERegistryError : public Exception {
 public:
  using Exception::Exception;
};

class TSunfieldAutostart {
 public:
  // appName starts as applicationTitle + "#Autostart"; autostart, StartNextLogon and
  // Global start false.
  explicit TSunfieldAutostart(const std::string& applicationTitle);
  // The same with the running Qt application's display name as the title.
  TSunfieldAutostart();

  // The registry value name. Setting a name that differs other than in letter case moves
  // every existing registration (Run and RunOnce, both roots) to the new name.
  const std::string& appName() const { return name_; }
  void SetappName(const std::string& name);

  // Registered under "Run" with its desktop entry switched on. The entry is what the
  // desktop's start-up settings edit: reading follows it, so a registration whose entry
  // the user deleted or disabled is removed (a disabled entry is kept as it is), and an
  // entry switched on there again is registered. Reading re-reads the registry;
  // writing registers (the quoted executable path) or unregisters at once. Reading throws ERegistryError "Invalid data
  // type for '<appName>'" when the value is not a string; writing throws "Failed to set
  // data for '<appName>'" when the registry refuses the value. A key that cannot be
  // opened (no rights) reads and writes as not registered, silently.
  bool autostart();
  void Setautostart(bool on);
  // The same for "RunOnce": started once at the next login.
  bool StartNextLogon();
  void SetStartNextLogon(bool on);
  // Registrations live under HKEY_LOCAL_MACHINE (all users). Setting true first tests
  // write access there; without it the flag stays false and nothing moves. A change
  // moves existing registrations to the other root.
  bool Global() const { return global_; }
  void SetGlobal(bool on);

  // Applies the properties stored with the preferences dialog in their stored order
  // (appName, autostart, StartNextLogon, Global), as the dialog does when it is created,
  // then keeps a pending all-users "RunOnce" from starting the program for this user
  // again (it runs at most once for each user).
  // Every step runs even when an earlier one failed; the first error is rethrown at the
  // end, after all steps, so the dialog can show it and complete.
  void LoadStored(const std::string& appName, bool autostart, bool startNextLogon, bool global);

  // The program registered: the running executable unless set otherwise.
  const std::string& ExecutablePath() const { return executable_; }
  void SetExecutablePath(const std::string& path) { executable_ = path; }

  // One flag for the whole process, true at start: the first write request of a run
  // (Setautostart or SetStartNextLogon) does not apply its value but refreshes the "Run"
  // registration: registered stays registered with the current path, unregistered stays
  // unregistered. So the dialog's stored "autostart = true" never registers by itself.
  static bool FirstWritePending();
  // Sets the flag, e.g. true to act as a freshly started process.
  static void SetFirstWritePending(bool pending);

 private:
  enum class Kind { Run, RunOnce };
  // Whether appName is registered under kind in the root of allUsers.
  bool ReadRegistration(Kind kind, bool allUsers);
  // Registers or unregisters appName under kind in the root of allUsers; returns the
  // resulting state. request marks a write asked for through a property, the only kind
  // that the first-write refresh applies to; moves between names and roots are not.
  bool WriteRegistration(Kind kind, bool allUsers, bool on, bool request);
  // The "Run" state after bringing the registration in line with its desktop entry.
  bool FollowDesktopEntry();
  void KeepAllUsersRunOnceToOneRun();

  std::string name_;
  bool run_ = false;       // last known state of the Run registration
  bool run_once_ = false;  // last known state of the RunOnce registration
  bool global_ = false;
  std::string executable_;
};

}  // namespace hw
