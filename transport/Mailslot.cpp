#include "transport/Mailslot.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstring>

#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/LocalMailslot.h"

namespace hw {

using namespace win32;

namespace {

// Linux nice values for the Windows thread priorities -15, -2, -1, 0, 1, 2, 15.
// Raising priority needs privilege; without it the thread keeps its priority.
int NiceFor(TThreadPriority p) {
  switch (p) {
    case TThreadPriority::tpIdle: return 19;
    case TThreadPriority::tpLowest: return 10;
    case TThreadPriority::tpLower: return 5;
    case TThreadPriority::tpNormal: return 0;
    case TThreadPriority::tpHigher: return -5;
    case TThreadPriority::tpHighest: return -10;
    case TThreadPriority::tpTimeCritical: return -20;
  }
  return 0;
}

std::string Cut(std::string path) {
  if (path.size() > kMaxMailslotPath) path.resize(kMaxMailslotPath);
  return path;
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t GetLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Days since 30 December 1899, the fraction being the time of day.
double ToDateTime(const SYSTEMTIME& st) {
  // Days from civil (proleptic Gregorian), as in Howard Hinnant's algorithm.
  int y = st.wYear;
  const unsigned m = st.wMonth, d = st.wDay;
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days_since_1970 = era * 146097L + static_cast<long>(doe) - 719468L;
  const long days = days_since_1970 + 25569L;  // 1899-12-30 to 1970-01-01
  const double ms = ((st.wHour * 60.0 + st.wMinute) * 60.0 + st.wSecond) * 1000.0 + st.wMilliseconds;
  return static_cast<double>(days) + ms / 86400000.0;
}

}  // namespace

// ---------------------------------------------------------------------------
// TMailslotThread

TMailslotThread::TMailslotThread(TMailslotServer& server, IWindowThread& window)
    : server_(server), window_(window), thread_([this] { Execute(); }) {}

TMailslotThread::~TMailslotThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
    // A check waiting for the window thread will never run: we are that thread.
    if (pending_) pending_->Cancel();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TMailslotThread::SetInterval(std::uint32_t interval) { interval_ = interval; }

void TMailslotThread::SetPriority(TThreadPriority priority) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (tid_ != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(tid_), NiceFor(priority));
}

void TMailslotThread::Pause() {
  std::lock_guard<std::mutex> lock(mutex_);
  paused_ = true;
}

void TMailslotThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

bool TMailslotThread::Paused() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return paused_;
}

bool TMailslotThread::CallWindowThread(std::function<void()> work) {
  auto call = std::make_shared<TPendingCall>(std::move(work));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (terminated_) return false;
    pending_ = call;
  }
  struct Clear {
    TMailslotThread* self;
    ~Clear() {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->pending_.reset();
    }
  } clear{this};
  return window_.Invoke(call);
}

void TMailslotThread::Execute() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tid_ = static_cast<int>(syscall(SYS_gettid));
  }
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return terminated_ || !paused_; });
      if (terminated_) return;
      // Sleep the interval; only termination cuts it short.
      wake_.wait_for(lock, std::chrono::milliseconds(interval_.load()), [this] { return terminated_; });
      if (terminated_) return;
      if (paused_) continue;
    }
    try {
      if (!CallWindowThread([this] { CheckMessages(); })) return;
    } catch (...) {
      // The error escaped the check: report it on the window thread and go on polling.
      const std::exception_ptr error = std::current_exception();
      try {
        if (!CallWindowThread([this, error] {
              try {
                std::rethrow_exception(error);
              } catch (const std::exception& e) {
                server_.ReportError(e);
              } catch (...) {
                server_.ReportError(Exception("Unknown error"));
              }
            }))
          return;
      } catch (...) {
        // The error handler itself failed; nothing more can be reported.
      }
    }
    checks_++;
  }
}

void TMailslotThread::CheckMessages() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (terminated_) return;
  }
  const auto count = static_cast<std::int32_t>(server_.MessageCount());
  if (count != last_count_) {
    // The count after the handler is what was seen less what the handler read (each
    // ReadMessage lowers it). Asking the mailslot again instead would also count a
    // message that arrived after the handler's last look, and no event would follow.
    const std::int32_t before = last_count_;
    last_count_ = count;
    try {
      server_.DoNewMessage();
    } catch (...) {
      last_count_ = before - (count - last_count_);  // as if the check had not been made
      throw;
    }
    if (last_count_ < 0) last_count_ = 0;  // it read arrivals it had not been told of
  }
}

// ---------------------------------------------------------------------------
// TMailslotServer

TMailslotServer::TMailslotServer(IWindowThread& window) : window_(window) {
  thread_ = std::make_unique<TMailslotThread>(*this, window_);
  thread_->SetInterval(interval_);
  OpenMailslot();
}

TMailslotServer::~TMailslotServer() {
  thread_.reset();  // wakes a sleeping or paused thread and waits for it to end
  CloseMailslot();
}

void TMailslotServer::SetMailslotName(const std::string& name) {
  if (name == mailslot_name_) return;
  CloseMailslot();
  mailslot_name_ = name;
  OpenMailslot();
}

void TMailslotServer::SetMaxMessageSize(std::uint32_t size) {
  if (size == max_message_size_) return;
  CloseMailslot();
  max_message_size_ = size;
  OpenMailslot();
}

void TMailslotServer::SetInheritHandle(bool inherit) {
  if (inherit == inherit_handle_) return;
  CloseMailslot();
  inherit_handle_ = inherit;
  OpenMailslot();
}

void TMailslotServer::SetReadTimeOut(std::int32_t timeout) {
  if (timeout == read_time_out_) return;
  read_time_out_ = timeout;
  if (handle_ != 0) SetMailslotInfo(handle_, static_cast<DWORD>(timeout));
}

void TMailslotServer::SetMessagePolling(bool polling) {
  if (polling == message_polling_) return;
  message_polling_ = polling;
  UpdateThread();
}

void TMailslotServer::SetThreadPriority(TThreadPriority priority) {
  if (priority == thread_priority_) return;
  thread_priority_ = priority;
  thread_->SetPriority(priority);
  UpdateThread();
}

void TMailslotServer::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  thread_->SetInterval(interval);
  UpdateThread();
}

void TMailslotServer::SetOnNewMessage(std::function<void(TMailslotServer&)> handler) {
  on_new_message_ = std::move(handler);
  UpdateThread();
}

std::uint32_t TMailslotServer::MessageCount() const {
  if (handle_ == 0) return 0;
  DWORD next = 0, count = 0;
  // A failed query counts as an empty mailslot.
  if (!GetMailslotInfo(handle_, nullptr, &next, &count, nullptr)) return 0;
  return count;
}

std::uint32_t TMailslotServer::NextMessageSize() const {
  if (handle_ == 0) return 0;
  DWORD next = 0;
  if (!GetMailslotInfo(handle_, nullptr, &next, nullptr, nullptr)) return 0;
  return next;
}

std::uint32_t TMailslotServer::ReadMessage(void* buffer, std::uint32_t count) {
  if (handle_ == 0) return 0;
  DWORD read = 0;
  if (!ReadMailslotFrom(handle_, buffer, count, &read, &last_source_))
    throw EMailslotServerError(SystemErrorText(GetLastError()));
  thread_->SetLastCount(thread_->LastCount() - 1);
  return read;
}

void TMailslotServer::OpenMailslot() {
  const std::string path = Cut("\\\\.\\mailslot\\" + mailslot_name_);
  SECURITY_ATTRIBUTES sa{12, nullptr, inherit_handle_ ? TRUE : FALSE};
  const HANDLE h = CreateMailslotA(path.c_str(), max_message_size_, static_cast<DWORD>(read_time_out_), &sa);
  if (h == INVALID_HANDLE_VALUE) {
    handle_ = 0;
    const DWORD error = GetLastError();
    std::string text = SystemErrorText(error);
    // Another account's program holding the name is worth saying: this user cannot
    // end it, and it may be there to take this user's messages.
    if (error == ERROR_ALREADY_EXISTS)
      if (const auto holder = platform::net::MailslotOwnerUid(mailslot_name_); holder && *holder != geteuid())
        text += " The mailslot \"" + mailslot_name_ + "\" is held by user \"" + platform::net::UserName(*holder) + "\".";
    throw EMailslotServerError(text);
  }
  handle_ = h;
}

void TMailslotServer::CloseMailslot() {
  if (handle_ != 0) CloseHandle(handle_);
  handle_ = 0;
}

void TMailslotServer::DoNewMessage() {
  if (on_new_message_) on_new_message_(*this);
}

void TMailslotServer::UpdateThread() {
  if (!thread_->Paused()) thread_->Pause();
  if (interval_ != 0 && message_polling_ && on_new_message_) thread_->Resume();
}

void TMailslotServer::ReportError(const std::exception& error) {
  if (on_error_) on_error_(error);
}

// ---------------------------------------------------------------------------
// TMailslotClient

TMailslotClient::~TMailslotClient() { CloseMailslot(); }

void TMailslotClient::SetMailslotName(const std::string& name) {
  CloseMailslot();
  mailslot_name_ = name;
}

void TMailslotClient::SetReceiverName(const std::string& name) {
  CloseMailslot();
  receiver_name_ = name;
}

void TMailslotClient::SetReceiver(TReceiverType receiver) {
  CloseMailslot();
  receiver_ = receiver;
}

std::string TMailslotClient::TargetPath() const {
  switch (receiver_) {
    case TReceiverType::rcLocalComputer: return Cut("\\\\.\\mailslot\\" + mailslot_name_);
    case TReceiverType::rcPrimaryDomain: return Cut("\\\\*\\mailslot\\" + mailslot_name_);
    case TReceiverType::rcDomainOrComputer: break;
  }
  return Cut("\\\\" + receiver_name_ + "\\mailslot\\" + mailslot_name_);
}

void TMailslotClient::OpenMailslot() {
  if (handle_ != 0) return;
  const std::string path = TargetPath();
  const HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
  if (h == INVALID_HANDLE_VALUE) {
    handle_ = 0;
    throw EMailslotClientError(SystemErrorText(GetLastError()));
  }
  handle_ = h;
}

void TMailslotClient::CloseMailslot() {
  if (handle_ != 0) {
    CloseHandle(handle_);
    handle_ = 0;
  }
}

std::uint32_t TMailslotClient::WriteMessage(const void* buffer, std::uint32_t count) {
  OpenMailslot();
  if (handle_ == 0) return 0;
  DWORD written = 0;
  if (!WriteFile(handle_, buffer, count, &written, nullptr)) throw EMailslotClientError(SystemErrorText(GetLastError()));
  return written;
}

// ---------------------------------------------------------------------------
// Framing

std::uint32_t MakeSenderId() {
  // TTerminalIdentity: ProcessId, UserName[32], ComputerName[16], StartTime (double).
  std::uint8_t identity[60];
  std::memset(identity, 0, sizeof identity);
  PutLe32(identity, GetCurrentProcessId());
  DWORD user_size = 32;
  GetUserNameA(reinterpret_cast<char*>(identity + 4), &user_size);
  DWORD computer_size = 16;
  GetComputerNameA(reinterpret_cast<char*>(identity + 36), &computer_size);
  SYSTEMTIME st;
  GetLocalTime(&st);
  double start = ToDateTime(st);
  // Terminals made within the same millisecond of one process still get distinct identities.
  static std::mutex mutex;
  static double last_start = 0;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (start <= last_start) start = last_start + 1.0 / 86400000.0;
    last_start = start;
  }
  std::memcpy(identity + 52, &start, sizeof start);  // little-endian IEEE-754 on our targets
  return static_cast<std::uint32_t>(crc32(0L, identity, sizeof identity));
}

std::optional<TMessageHeader> DecodeFrame(const std::uint8_t* bytes, std::size_t size) {
  if (!bytes || size < kFrameHeaderSize || size > kMaxFrameSize) return std::nullopt;
  return TMessageHeader{GetLe32(bytes), GetLe32(bytes + 4)};
}

void FrameMessage(TMemoryStream& stream, TMessageHeader& header, const void* payload, std::uint16_t len) {
  stream.SetSize(kFrameHeaderSize + len);
  stream.SetPosition(0);
  ++header.Sequence;  // used up even when the write fails
  std::uint8_t bytes[kFrameHeaderSize];
  PutLe32(bytes, header.SenderId);
  PutLe32(bytes + 4, header.Sequence);
  stream.Write(bytes, sizeof bytes);
  stream.Write(payload, len);
}

// ---------------------------------------------------------------------------
// TMailslotTerminal

TMailslotTerminal::TMailslotTerminal(IWindowThread& window) {
  own_header_.SenderId = MakeSenderId();
  own_header_.Sequence = 0;
  server_ = std::make_unique<TMailslotServer>(window);
  server_->SetInterval(250);
  server_->SetMailslotName("Terminal");
  server_->SetMessagePolling(true);
  server_->SetOnNewMessage([this](TMailslotServer&) { ServerNewMessage(); });
  client_ = std::make_unique<TMailslotClient>();
  client_->SetMailslotName(mailslot_name_);
  client_->SetReceiver(receiver_);
  client_->SetReceiverName(receiver_name_);
}

TMailslotTerminal::~TMailslotTerminal() {
  senders_.clear();
  send_stream_.Clear();
  message_stream_.Clear();
  client_.reset();
  server_.reset();
}

void TMailslotTerminal::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  server_->SetInterval(interval);
}

void TMailslotTerminal::SetMailslotName(const std::string& name) {
  if (name == mailslot_name_) return;
  mailslot_name_ = name;
  try {
    server_->SetMailslotName(name);
  } catch (...) {
    // Keep the client on the name the terminal reports, so sending still targets it.
    client_->SetMailslotName(name);
    throw;
  }
  client_->SetMailslotName(name);
}

void TMailslotTerminal::SetReceiver(TReceiverType receiver) {
  receiver_ = receiver;
  client_->SetReceiver(receiver);
}

void TMailslotTerminal::SetReceiverName(const std::string& name) {
  receiver_name_ = name;
  client_->SetReceiverName(name);
}

void TMailslotTerminal::SetOnError(TErrorEvent handler) { server_->SetOnError(std::move(handler)); }

std::uint32_t TMailslotTerminal::Send(const void* buffer, std::uint16_t len) {
  if (signer_) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    signed_payload_.assign(bytes, bytes + len);
    signer_->AppendTrailer(signed_payload_, own_header_.SenderId, own_header_.Sequence + 1);
    if (signed_payload_.size() > kMaxPayload)
      throw EMailslotClientError("The message is too long to send with its signature");
    FrameMessage(send_stream_, own_header_, signed_payload_.data(), static_cast<std::uint16_t>(signed_payload_.size()));
  } else {
    FrameMessage(send_stream_, own_header_, buffer, len);
  }
  client_->OpenMailslot();
  return client_->WriteMessage(send_stream_.Memory(), static_cast<std::uint32_t>(send_stream_.Size()));
}

void TMailslotTerminal::ServerNewMessage() {
  // The count is asked once per batch of waiting messages, not once per message: asking
  // it looks into the mailslot's socket, which costs a system call.
  for (std::uint32_t waiting = server_->MessageCount(); waiting > 0; waiting = server_->MessageCount())
    for (; waiting > 0 && ReceiveOne(); --waiting) {
    }
}

bool TMailslotTerminal::ReceiveOne() {
  {
    const std::uint32_t size = server_->NextMessageSize();
    if (size == MAILSLOT_NO_MESSAGE) return false;  // the handler read ahead
    message_stream_.SetSize(size);
    message_stream_.SetPosition(0);
    const std::uint32_t read = server_->ReadMessage(message_stream_.Memory(), size);
    // Frames without a whole header, or too long for a 16-bit payload size, were not
    // written by a terminal: drop them instead of delivering a wrapped size. So is a
    // message whose bytes read disagree with the size announced.
    const auto header = DecodeFrame(message_stream_.Memory(), read);
    if (!header || read != size) return true;
    last_header_ = *header;
    last_source_ = server_->LastSource();
    message_stream_.SetPosition(kFrameHeaderSize);
    bool deliver;
    if (!verifier_) {
      deliver = senders_.Accept(last_header_.SenderId, last_header_.Sequence, last_source_);
    } else {
      last_check_ = verifier_->Check(last_source_, last_header_.SenderId, last_header_.Sequence,
                                     message_stream_.Memory() + kFrameHeaderSize, size - kFrameHeaderSize);
      switch (last_check_.Trust) {
        case TLineTrust::Verified:
          deliver = !last_check_.Repeat;
          break;
        case TLineTrust::Forged:
          deliver = forged_.Accept(last_header_.SenderId, last_header_.Sequence, last_source_);
          break;
        default:
          deliver = senders_.Accept(last_header_.SenderId, last_header_.Sequence, last_source_);
      }
    }
    if (deliver && last_check_.Trust == TLineTrust::Unsigned) {
      // The filter is keyed on the source address; a copy from a second address (a
      // sender on two interfaces) is still the same frame.
      if (last_delivered_.size() >= senders_.Capacity()) last_delivered_.clear();
      auto [copy, added] = last_delivered_.try_emplace(last_header_.SenderId, last_header_.Sequence);
      if (!added && copy->second == last_header_.Sequence) deliver = false;
      copy->second = last_header_.Sequence;
    }
    if (deliver && last_check_.Trust == TLineTrust::Verified && on_verified_sender_) {
      const auto* line = reinterpret_cast<const char*>(message_stream_.Memory() + kFrameHeaderSize);
      on_verified_sender_(LineComputer(std::string(line, strnlen(line, size - kFrameHeaderSize))), last_source_);
    }
    if (deliver && on_new_message_)
      on_new_message_(*this, last_header_.SenderId, static_cast<std::uint16_t>(size - kFrameHeaderSize));
  }
  return true;
}

}  // namespace hw
