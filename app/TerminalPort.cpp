// The main window's terminal `msTerminal` on the real mailslot transport.
#include <algorithm>
#include <cstring>

#include "app/MainFormParts.h"
#include "platform/Config.h"
#include "platform/Datagram.h"

namespace hw {
namespace {

constexpr const char* kMailslotName = "hwSlot";

class TMailslotTerminalPort : public ITerminalPort {
 public:
  explicit TMailslotTerminalPort(IWindowThread& window) : terminal_(window) {
    terminal_.SetInterval(250);
    try {
      terminal_.SetMailslotName(kMailslotName);
    } catch (const std::exception& error) {
      // Reported the way a failed property of the window's design is reported.
      throw Exception(std::string("Error reading msTerminal.MailslotName: ") + error.what());
    }
    terminal_.SetReceiver(TReceiverType::rcPrimaryDomain);
    max_payload_ = MaxCarrierPayload(kMailslotName);
  }

  void SetReceiver(TReceiverType receiver) override { terminal_.SetReceiver(receiver); }
  void SetReceiverName(const std::string& name) override { terminal_.SetReceiverName(name); }
  std::uint32_t Send(const void* buffer, std::uint16_t len) override { return terminal_.Send(buffer, len); }
  TMemoryStream& MessageStream() override { return terminal_.MessageStream(); }
  void SetOnNewMessage(TMessageEvent handler) override {
    terminal_.SetOnNewMessage([handler = std::move(handler)](TMailslotTerminal&, std::uint32_t sender_id,
                                                             std::uint16_t msg_size) {
      if (handler) handler(sender_id, msg_size);
    });
  }
  void SetOnError(TErrorEvent handler) override { terminal_.SetOnError(std::move(handler)); }
  std::size_t MaxPayload() const override { return max_payload_; }

 private:
  TMailslotTerminal terminal_;
  std::size_t max_payload_ = kMaxPayload;
};

}  // namespace

std::size_t MaxCarrierPayload(const std::string& mailslot_name) {
  const std::size_t slot = std::strlen("\\MAILSLOT\\") + mailslot_name.size();
  const std::size_t datagram = platform::EncodedDatagramSize(slot, kFrameHeaderSize);
  std::size_t limit = datagram < platform::kMaxUdpPayload ? platform::kMaxUdpPayload - datagram : 0;
  // On the standard datagram port the receivers take at most 512 bytes of SMB.
  if (platform::Config().port == 138) {
    const std::size_t smb = platform::EncodedSmbSize(slot, kFrameHeaderSize);
    limit = std::min(limit, smb < platform::kMaxSmbOnPort138 ? platform::kMaxSmbOnPort138 - smb : 0);
  }
  return std::min(limit, kMaxPayload);
}

std::unique_ptr<ITerminalPort> MakeMailslotTerminalPort(IWindowThread& window) {
  return std::make_unique<TMailslotTerminalPort>(window);
}

}  // namespace hw
