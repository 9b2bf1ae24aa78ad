// The working parts the main window is built from: the messaging terminal, the wave
// player, the tray icon, the user's boxes, the key toggles and the network
// enumeration. The program uses the real ones (MakeDefaultParts); tests put
// their own in their place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/Dialogs.h"
#include "app/KeyState.h"
#include "app/NetworkTree.h"
#include "transport/Mailslot.h"

class QMenu;
class QObject;
class QString;
class QWidget;

namespace hw {

// What the main window needs of its mailslot terminal.
class ITerminalPort {
 public:
  using TMessageEvent = std::function<void(std::uint32_t sender_id, std::uint16_t msg_size)>;
  virtual ~ITerminalPort() = default;
  virtual void SetReceiver(TReceiverType receiver) = 0;
  virtual void SetReceiverName(const std::string& name) = 0;
  // Frames and transmits one payload; throws EMailslotClientError.
  virtual std::uint32_t Send(const void* buffer, std::uint16_t len) = 0;
  // The frame being delivered, positioned at its payload during the message event.
  virtual TMemoryStream& MessageStream() = 0;
  virtual void SetOnNewMessage(TMessageEvent handler) = 0;
  // Errors that escape the delivery of a message (e.g. from the message handler).
  virtual void SetOnError(TErrorEvent handler) = 0;
  // The longest payload the carrier takes in one message (a signature's room taken off).
  virtual std::size_t MaxPayload() const = 0;
  // The check of the message being delivered; unsigned for a terminal that checks nothing.
  virtual const TLineCheck& LastCheck() const {
    static const TLineCheck kUnsigned;
    return kUnsigned;
  }
  // Called after each verified line with the computer it names and its source address.
  virtual void SetOnVerifiedSender(std::function<void(const std::string& computer, std::uint32_t source)>) {}
};

// The terminal on the mailslot "hwSlot", polling every 250 ms, sending to the whole
// primary domain until told otherwise. It signs with the user's key and checks what
// arrives against the user's pinned keys; without a usable key it sends unsigned. The constructor throws hw::Exception
// "Error reading msTerminal.MailslotName: <system text>" when the mailslot is
// owned by another program on this computer.
std::unique_ptr<ITerminalPort> MakeMailslotTerminalPort(IWindowThread& window);

// The longest payload the datagram carrier takes for a message to the mailslot
// `mailslot_name` on another computer (the frame header already subtracted).
std::size_t MaxCarrierPayload(const std::string& mailslot_name);

// The wave player `Sound`.
class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // Gives the name to the player, opens it (cutting off a sound still playing) and
  // starts playing without waiting. Throws EMCIDeviceError when it cannot be opened.
  virtual void PlayFile(const std::string& file_name) = 0;
};

// The tray icon `TrayIcon`.
class ITrayIcon {
 public:
  virtual ~ITrayIcon() = default;
  virtual void SetAnimated(bool animated) = 0;
  virtual bool Animated() const = 0;
  // Whether the desktop shows the entry (false while it has no tray host).
  virtual bool Registered() const = 0;
  virtual void SetPopupMenu(QMenu* menu) = 0;
  virtual void SetOnDblClick(std::function<void()> handler) = 0;
  // The desktop notification behind the entry: Notify shows one in place of the last,
  // and a click on it or its "Open" action calls the OnNotificationOpen handler.
  virtual void Notify(const QString& summary, const QString& body) = 0;
  virtual void CloseNotification() = 0;
  virtual void SetOnNotificationOpen(std::function<void()> handler) = 0;
};

struct TMainFormParts {
  std::unique_ptr<ITerminalPort> Terminal;
  std::unique_ptr<ISoundPlayer> Sound;
  std::unique_ptr<ITrayIcon> Tray;
  std::unique_ptr<IUserDialogs> Dialogs;  // null: the real boxes, modal to the window
  std::unique_ptr<IKeyState> Keys;        // null: TKeyState
  TNetEnumApi NetEnum;
  std::string SettingsPath;           // the settings file "Hwire.ini"
  std::function<void()> Terminate;    // ends the program (leaves the message loop)
  std::function<void(int)> OpenHelp;  // opens the help at a context (0: contents)
  // Wires the window to its placement store (section "MainForm"); may be empty.
  std::function<std::unique_ptr<QObject>(QWidget& window)> MakePlacement;
};

// The program's own parts. Throws like MakeMailslotTerminalPort.
TMainFormParts MakeDefaultParts(IWindowThread& window);

}  // namespace hw
