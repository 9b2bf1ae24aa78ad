// The main window's terminal on the real mailslot transport.
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

#include "app/MainFormParts.h"
#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/net/Presence.h"

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
    try {
      terminal_.SetSigner(TLineSigner::FromKeyFile(UserKeyFile()));
      max_payload_ = max_payload_ > kTrailerSize ? max_payload_ - kTrailerSize : 0;
    } catch (const ETrustError&) {
      // A key that cannot be read or made: lines go out unsigned, as they always did.
    }
    terminal_.SetVerifier(std::make_unique<TLineVerifier>(std::make_unique<TPinStore>(UserPinFile())));
    // A line signed with the key pinned for its computer vouches for the address it
    // came from: where two addresses claim that computer's name, messages go there.
    terminal_.SetOnVerifiedSender([](const std::string& computer, std::uint32_t source) {
      in_addr address{};
      address.s_addr = source;
      platform::net::VouchForAddress(computer, address);
    });
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
  const TLineCheck& LastCheck() const override { return terminal_.LastCheck(); }
  void SetOnVerifiedSender(std::function<void(const std::string&, std::uint32_t)> handler) override {
    terminal_.SetOnVerifiedSender(std::move(handler));
  }

 private:
  TMailslotTerminal terminal_;
  std::size_t max_payload_ = kMaxPayload;
};

}  // namespace

std::size_t MaxCarrierPayload(const std::string& mailslot_name) {
  const std::size_t slot = std::strlen("\\MAILSLOT\\") + mailslot_name.size();
  const std::size_t datagram = platform::net::EncodedDatagramSize(slot, kFrameHeaderSize);
  std::size_t limit = datagram < platform::net::kMaxUdpPayload ? platform::net::kMaxUdpPayload - datagram : 0;
  // On the standard datagram port the receivers take at most 512 bytes of SMB.
  if (platform::net::Config().port == 138) {
    const std::size_t smb = platform::net::EncodedSmbSize(slot, kFrameHeaderSize);
    limit = std::min(limit, smb < platform::net::kMaxSmbOnPort138 ? platform::net::kMaxSmbOnPort138 - smb : 0);
  }
  return std::min(limit, kMaxPayload);
}

std::unique_ptr<ITerminalPort> MakeMailslotTerminalPort(IWindowThread& window) {
  return std::make_unique<TMailslotTerminalPort>(window);
}

}  // namespace hw
