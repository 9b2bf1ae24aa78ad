// The mailslot transport: the receiving server with its polling reader thread,
// the sending client with its three addressing modes, and the terminal that joins
// both, frames every message and drops repeats.
//
// Every component belongs to the window thread given at construction: property
// writes, Send, reads and all events happen there.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/system/Exception.h"
#include "platform/system/Win32Types.h"
#include "platform/system/WindowThread.h"
#include "transport/MemoryStream.h"
#include "transport/SenderTable.h"
#include "transport/Trust.h"

namespace hw {

class EMailslotServerError : public Exception {
 public:
  using Exception::Exception;
};

class EMailslotClientError : public Exception {
 public:
  using Exception::Exception;
};

enum class TReceiverType { rcLocalComputer = 0, rcPrimaryDomain = 1, rcDomainOrComputer = 2 };

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Longest mailslot path handed to the system; longer paths are cut.
constexpr std::size_t kMaxMailslotPath = 200;

class TMailslotServer;

// Called on the window thread with an error that escaped a check (a failed read,
// or anything the new-message handler threw). Polling goes on afterwards.
using TErrorEvent = std::function<void(const std::exception& error)>;

// The reader thread: sleeps Interval ms, then has the window thread run a check and
// waits for it. Paused while polling may not happen. Owned and joined by its server.
class TMailslotThread {
 public:
  TMailslotThread(TMailslotServer& server, IWindowThread& window);
  ~TMailslotThread();  // terminates, wakes and joins the thread

  void SetInterval(std::uint32_t interval);
  std::uint32_t Interval() const { return interval_.load(); }
  void SetPriority(TThreadPriority priority);
  void Pause();
  void Resume();
  bool Paused() const;
  // Messages seen at the end of the previous check (window thread only).
  std::int32_t LastCount() const { return last_count_; }
  void SetLastCount(std::int32_t count) { last_count_ = count; }
  std::uint64_t CheckCount() const { return checks_.load(); }

 private:
  void Execute();
  void CheckMessages();
  // Runs work on the window thread and waits; false when the thread is ending.
  bool CallWindowThread(std::function<void()> work);

  TMailslotServer& server_;
  IWindowThread& window_;
  std::atomic<std::uint32_t> interval_{1000};
  std::int32_t last_count_ = 0;
  std::atomic<std::uint64_t> checks_{0};

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool paused_ = false;
  bool terminated_ = false;
  std::shared_ptr<TPendingCall> pending_;
  int tid_ = 0;
  std::thread thread_;
};

class TMailslotServer {
 public:
  // Opens the default mailslot "mailbox" and starts the reader thread.
  // Throws EMailslotServerError when the mailslot cannot be created.
  explicit TMailslotServer(IWindowThread& window);
  ~TMailslotServer();
  TMailslotServer(const TMailslotServer&) = delete;
  TMailslotServer& operator=(const TMailslotServer&) = delete;

  const std::string& MailslotName() const { return mailslot_name_; }
  void SetMailslotName(const std::string& name);
  std::uint32_t MaxMessageSize() const { return max_message_size_; }
  void SetMaxMessageSize(std::uint32_t size);
  bool InheritHandle() const { return inherit_handle_; }
  void SetInheritHandle(bool inherit);
  std::int32_t ReadTimeOut() const { return read_time_out_; }
  void SetReadTimeOut(std::int32_t timeout);
  win32::HANDLE Handle() const { return handle_; }
  bool MessagePolling() const { return message_polling_; }
  void SetMessagePolling(bool polling);
  TThreadPriority ThreadPriority() const { return thread_priority_; }
  void SetThreadPriority(TThreadPriority priority);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t interval);
  // Always re-evaluates the reader thread, even for the same handler.
  void SetOnNewMessage(std::function<void(TMailslotServer& sender)> handler);
  bool HasOnNewMessage() const { return static_cast<bool>(on_new_message_); }
  void SetOnError(TErrorEvent handler) { on_error_ = std::move(handler); }

  // Waiting messages (0 when no mailslot is open).
  std::uint32_t MessageCount() const;
  // Size of the next waiting message (0 when none or no mailslot).
  std::uint32_t NextMessageSize() const;
  // Reads one message; 0 without a mailslot. Throws EMailslotServerError on failure.
  std::uint32_t ReadMessage(void* buffer, std::uint32_t count);
  // The IPv4 address (network order) the last message read came from; 127.0.0.1 for
  // one written on this computer.
  std::uint32_t LastSource() const { return last_source_; }
  void OpenMailslot();
  void CloseMailslot();
  void DoNewMessage();
  void UpdateThread();

  TMailslotThread& Thread() { return *thread_; }

 private:
  friend class TMailslotThread;
  void ReportError(const std::exception& error);

  IWindowThread& window_;
  std::string mailslot_name_ = "mailbox";
  std::uint32_t max_message_size_ = 0;
  bool inherit_handle_ = false;
  std::int32_t read_time_out_ = -1;
  win32::HANDLE handle_ = 0;
  bool message_polling_ = true;
  TThreadPriority thread_priority_ = TThreadPriority::tpNormal;
  std::uint32_t interval_ = 1000;
  std::function<void(TMailslotServer&)> on_new_message_;
  TErrorEvent on_error_;
  std::uint32_t last_source_ = 0;
  std::unique_ptr<TMailslotThread> thread_;
};

class TMailslotClient {
 public:
  TMailslotClient() = default;
  ~TMailslotClient();
  TMailslotClient(const TMailslotClient&) = delete;
  TMailslotClient& operator=(const TMailslotClient&) = delete;

  // Each write closes the handle, even with an unchanged value.
  const std::string& MailslotName() const { return mailslot_name_; }
  void SetMailslotName(const std::string& name);
  const std::string& ReceiverName() const { return receiver_name_; }
  void SetReceiverName(const std::string& name);
  TReceiverType Receiver() const { return receiver_; }
  void SetReceiver(TReceiverType receiver);
  win32::HANDLE Handle() const { return handle_; }

  // The path the next open uses, cut to kMaxMailslotPath characters.
  std::string TargetPath() const;
  // Opens the target unless a handle is open. Throws EMailslotClientError.
  void OpenMailslot();
  void CloseMailslot();
  // Opens if needed and writes one message. Throws EMailslotClientError.
  std::uint32_t WriteMessage(const void* buffer, std::uint32_t count);

 private:
  std::string mailslot_name_ = "mailbox";
  std::string receiver_name_;
  TReceiverType receiver_ = TReceiverType::rcPrimaryDomain;
  win32::HANDLE handle_ = 0;
};

// The 8-byte frame header, little-endian on the wire.
struct TMessageHeader {
  std::uint32_t SenderId = 0;
  std::uint32_t Sequence = 0;
};
constexpr std::size_t kFrameHeaderSize = 8;
constexpr std::size_t kMaxPayload = 65535;
constexpr std::size_t kMaxFrameSize = kFrameHeaderSize + kMaxPayload;

// The header of a received frame; nullopt when the message cannot be a frame (shorter
// than a header, or a payload beyond 16 bits).
std::optional<TMessageHeader> DecodeFrame(const std::uint8_t* bytes, std::size_t size);

// The CRC-32 of this process's terminal identity (process id, user name, computer
// name, local start time); fixed for a terminal's lifetime.
std::uint32_t MakeSenderId();
// Uses up the header's next sequence number and writes header and payload into
// stream as one frame (the stream is resized to exactly the frame).
void FrameMessage(TMemoryStream& stream, TMessageHeader& header, const void* payload, std::uint16_t len);

class TMailslotTerminal;
using TNewMessageEvent = std::function<void(TMailslotTerminal& sender, std::uint32_t senderId, std::uint16_t msgSize)>;

class TMailslotTerminal {
 public:
  // Creates server and client; the local mailslot ends up named "Terminal".
  explicit TMailslotTerminal(IWindowThread& window);
  ~TMailslotTerminal();
  TMailslotTerminal(const TMailslotTerminal&) = delete;
  TMailslotTerminal& operator=(const TMailslotTerminal&) = delete;

  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t interval);
  const std::string& MailslotName() const { return mailslot_name_; }
  // Reopens the local mailslot; throws EMailslotServerError when the name is taken.
  void SetMailslotName(const std::string& name);
  TReceiverType Receiver() const { return receiver_; }
  void SetReceiver(TReceiverType receiver);
  const std::string& ReceiverName() const { return receiver_name_; }
  void SetReceiverName(const std::string& name);
  void SetOnNewMessage(TNewMessageEvent handler) { on_new_message_ = std::move(handler); }
  // Errors that escape a check (see TErrorEvent).
  void SetOnError(TErrorEvent handler);

  // Frames and writes one message; returns the bytes written (frame length).
  // Throws EMailslotClientError; the sequence number is used up even then. With a
  // signer the payload (a chat line and its zero byte) gets a signed trailer; one
  // that would then not fit in a frame is refused before a sequence is used.
  std::uint32_t Send(const void* buffer, std::uint16_t len);

  // Signs every line sent; null (the default) sends exactly as before.
  void SetSigner(std::unique_ptr<TLineSigner> signer) { signer_ = std::move(signer); }
  const TLineSigner* Signer() const { return signer_.get(); }
  // Checks every frame received: each delivery then has a LastCheck. Frames that fail
  // never touch the repeat filter; verified ones are filtered by their signed session.
  void SetVerifier(std::unique_ptr<TLineVerifier> verifier) { verifier_ = std::move(verifier); }
  TLineVerifier* Verifier() { return verifier_.get(); }
  // The check of the frame being delivered (unsigned without a verifier).
  const TLineCheck& LastCheck() const { return last_check_; }
  // The source address (IPv4, network order) of the frame being delivered.
  std::uint32_t LastSource() const { return last_source_; }
  // Called after each verified line, before its delivery, with the computer it names and
  // the address it came from: the address may stand for that computer.
  void SetOnVerifiedSender(std::function<void(const std::string& computer, std::uint32_t source)> handler) {
    on_verified_sender_ = std::move(handler);
  }
  // The frame being delivered; position 8 (the payload) during OnNewMessage.
  TMemoryStream& MessageStream() { return message_stream_; }
  const TMessageHeader& OwnHeader() const { return own_header_; }
  const TMessageHeader& LastHeader() const { return last_header_; }
  const TSenderTable& Senders() const { return senders_; }
  TMailslotServer& Server() { return *server_; }
  TMailslotClient& Client() { return *client_; }

  // Drains the local mailslot; the server's new-message handler.
  void ServerNewMessage();

 private:
  // Reads and delivers the next message; false when none waits.
  bool ReceiveOne();
  std::uint32_t interval_ = 250;
  std::string mailslot_name_ = "Terminal";
  TMemoryStream message_stream_;
  TReceiverType receiver_ = TReceiverType::rcPrimaryDomain;
  std::string receiver_name_;
  TNewMessageEvent on_new_message_;
  std::unique_ptr<TMailslotServer> server_;
  std::unique_ptr<TMailslotClient> client_;
  TMessageHeader own_header_;
  TMessageHeader last_header_;
  TSenderTable senders_;
  TMemoryStream send_stream_;
  // Frames flagged forged are filtered apart, so they change nothing for real senders.
  TSenderTable forged_;
  // The last sequence delivered per sender id from any address: the same frame coming
  // in over two interfaces (two source addresses) is shown once.
  std::unordered_map<std::uint32_t, std::uint32_t> last_delivered_;
  std::unique_ptr<TLineSigner> signer_;
  std::unique_ptr<TLineVerifier> verifier_;
  std::vector<std::uint8_t> signed_payload_;
  TLineCheck last_check_;
  std::uint32_t last_source_ = 0;
  std::function<void(const std::string&, std::uint32_t)> on_verified_sender_;
};

}  // namespace hw
