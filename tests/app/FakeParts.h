// Stand-ins for the main window's working parts that record what the window did.
#pragma once

#include <QString>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/MainFormParts.h"
#include "tests/app/FakeNetwork.h"

namespace hw::test {

// One journal shared by all fakes, to check the order of steps.
using TJournal = std::vector<std::string>;

struct TSentMessage {
  TReceiverType receiver;
  std::string receiver_name;
  std::string payload;
};

class TFakeTerminal : public ITerminalPort {
 public:
  explicit TFakeTerminal(TJournal& journal) : journal_(journal) {}
  void SetReceiver(TReceiverType receiver) override { receiver_ = receiver; }
  void SetReceiverName(const std::string& name) override { receiver_name_ = name; }
  std::uint32_t Send(const void* buffer, std::uint16_t len) override {
    journal_.push_back("send");
    if (!fail_with.empty()) throw EMailslotClientError(fail_with);
    sent.push_back({receiver_, receiver_name_, std::string(static_cast<const char*>(buffer), len)});
    return len + 8u;
  }
  TMemoryStream& MessageStream() override { return stream_; }
  void SetOnNewMessage(TMessageEvent handler) override { on_new_message_ = std::move(handler); }
  void SetOnError(TErrorEvent handler) override { on_error_ = std::move(handler); }
  std::size_t MaxPayload() const override { return max_payload; }
  const TLineCheck& LastCheck() const override { return check; }

  // Delivers a payload as the terminal does: the frame in the stream, positioned
  // after its header, then the event.
  void Deliver(const std::string& payload) {
    stream_.Clear();
    const char header[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    stream_.Write(header, 8);
    stream_.Write(payload.data(), payload.size());
    stream_.SetPosition(8);
    if (on_new_message_) on_new_message_(1, static_cast<std::uint16_t>(payload.size()));
  }

  // An error escaping a delivery, as the terminal reports it.
  void Fail(const std::string& text) {
    if (on_error_) on_error_(Exception(text));
  }

  std::vector<TSentMessage> sent;
  TLineCheck check;  // what the next deliveries report
  std::string fail_with;
  std::size_t max_payload = kMaxPayload;

 private:
  TJournal& journal_;
  TReceiverType receiver_ = TReceiverType::rcPrimaryDomain;
  std::string receiver_name_;
  TMemoryStream stream_;
  TMessageEvent on_new_message_;
  TErrorEvent on_error_;
};

class TFakeSound : public ISoundPlayer {
 public:
  explicit TFakeSound(TJournal& journal) : journal_(journal) {}
  void PlayFile(const std::string& file_name) override {
    journal_.push_back("sound:" + file_name);
    if (missing.count(file_name)) throw Exception("The specified file cannot be found");
    played.push_back(file_name);
  }
  std::vector<std::string> played;
  std::set<std::string> missing;

 private:
  TJournal& journal_;
};

class TFakeTray : public ITrayIcon {
 public:
  explicit TFakeTray(TJournal& journal) : journal_(journal) {}
  void SetAnimated(bool animated) override {
    journal_.push_back(animated ? "tray:on" : "tray:off");
    animated_ = animated;
  }
  bool Animated() const override { return animated_; }
  bool Registered() const override { return registered; }
  bool registered = true;
  void SetPopupMenu(QMenu* menu) override { menu_ = menu; }
  void SetOnDblClick(std::function<void()> handler) override { dbl_click_ = std::move(handler); }
  void DoubleClick() { dbl_click_(); }
  QMenu* Menu() const { return menu_; }
  // Notifications as "summary|body"; kept apart from the journal.
  void Notify(const QString& summary, const QString& body) override {
    notes.push_back((summary + "|" + body).toStdString());
  }
  void CloseNotification() override { ++notes_closed; }
  void SetOnNotificationOpen(std::function<void()> handler) override { open_ = std::move(handler); }
  void OpenNotification() { open_(); }
  std::vector<std::string> notes;
  int notes_closed = 0;

 private:
  TJournal& journal_;
  bool animated_ = true;
  QMenu* menu_ = nullptr;
  std::function<void()> dbl_click_;
  std::function<void()> open_;
};

class TFakeDialogs : public IUserDialogs {
 public:
  explicit TFakeDialogs(TJournal& journal) : journal_(journal) {}
  void ShowError(const std::string& text) override {
    journal_.push_back("error:" + text);
    errors.push_back(text);
    if (while_error_open) while_error_open();
  }
  void ShowNotice(const std::string& text) override {
    journal_.push_back("notice:" + text);
    notices.push_back(text);
  }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  std::optional<std::string> SaveFileName(const TFileDialogOptions& options) override {
    save_options.push_back(options);
    return Next(save_answers);
  }
  std::optional<std::string> OpenFileName(const TFileDialogOptions& options) override {
    open_options.push_back(options);
    return Next(open_answers);
  }

  std::vector<std::string> errors, notices, questions;
  std::function<void()> while_error_open;  // runs as if inside the open error box
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> save_answers, open_answers;
  std::vector<TFileDialogOptions> save_options, open_options;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto value = queue.front();
    queue.pop_front();
    return value;
  }
  TJournal& journal_;
};

class TFakeKeys : public IKeyState {
 public:
  bool Toggled(int virtual_key) const override {
    queries.push_back(virtual_key);
    return on.count(virtual_key) > 0;
  }
  void FlipInsert() override {
    if (!on.erase(VK_INSERT)) on.insert(VK_INSERT);
  }
  std::set<int> on;
  mutable std::vector<int> queries;
};

// A full set of fakes; the raw pointers stay valid while the window owns the parts.
struct TFakeParts {
  TJournal journal;
  TFakeNetwork net;
  TFakeTerminal* terminal = nullptr;
  TFakeSound* sound = nullptr;
  TFakeTray* tray = nullptr;
  TFakeDialogs* dialogs = nullptr;
  TFakeKeys* keys = nullptr;
  int terminated = 0;
  std::vector<int> help;

  TMainFormParts Make(const std::string& settings_path) {
    TMainFormParts parts;
    auto t = std::make_unique<TFakeTerminal>(journal);
    auto s = std::make_unique<TFakeSound>(journal);
    auto tr = std::make_unique<TFakeTray>(journal);
    auto d = std::make_unique<TFakeDialogs>(journal);
    auto k = std::make_unique<TFakeKeys>();
    terminal = t.get();
    sound = s.get();
    tray = tr.get();
    dialogs = d.get();
    keys = k.get();
    parts.Terminal = std::move(t);
    parts.Sound = std::move(s);
    parts.Tray = std::move(tr);
    parts.Dialogs = std::move(d);
    parts.Keys = std::move(k);
    parts.NetEnum = net.Api();
    auto base_open = parts.NetEnum.OpenEnum;
    parts.NetEnum.OpenEnum = [this, base_open](auto... args) {
      journal.push_back("net:open");
      return base_open(args...);
    };
    parts.SettingsPath = settings_path;
    parts.Terminate = [this] {
      journal.push_back("terminate");
      ++terminated;
    };
    parts.OpenHelp = [this](int context) { help.push_back(context); };
    return parts;
  }
};

}  // namespace hw::test
