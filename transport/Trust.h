// Signed chat lines. A signing terminal appends a trailer after the line's terminating
// zero byte (peers that show a body only up to its first zero never see it): a version,
// the user's Ed25519 public key, the terminal's random session id and a signature over
// SenderId, sequence, session id and the line. Receivers pin the first key seen for a
// "Computer( user )" identity, as SSH pins host keys.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/system/Exception.h"

namespace hw {

class ETrustError : public Exception {
 public:
  using Exception::Exception;
};

using TPublicKey = std::array<std::uint8_t, 32>;
using TSessionId = std::array<std::uint8_t, 16>;
using TSignature = std::array<std::uint8_t, 64>;

constexpr std::uint8_t kTrailerVersion = 1;
constexpr std::size_t kTrailerSize = 1 + 32 + 16 + 64;

struct TLineTrailer {
  std::uint8_t Version = kTrailerVersion;
  TPublicKey PublicKey{};
  TSessionId Session{};
  TSignature Signature{};
};

// The trailer in the bytes after a line's zero byte; nullopt unless they are exactly
// one trailer of a version this program knows.
std::optional<TLineTrailer> DecodeTrailer(const std::uint8_t* bytes, std::size_t size);
void EncodeTrailer(const TLineTrailer& trailer, std::uint8_t* out);  // kTrailerSize bytes

// "Computer( user )" at the start of a chat line, and the computer alone; empty when
// the line does not start that way.
std::string LineIdentity(const std::string& line);
std::string LineComputer(const std::string& line);

// The user's key file and pin store in the per-user folder; the folder is made
// (private to the user) when missing.
std::string UserKeyFile();  // "signing.key"
std::string UserPinFile();  // "pinned-keys"

// The short fingerprint users compare by voice: the first 8 bytes of the key's
// SHA-256, as four groups of hex digits ("3f2a 9c01 77de 10b4").
std::string KeyFingerprint(const TPublicKey& key);

// One user's key pair and one terminal's session.
class TLineSigner {
 public:
  // The key pair in file (64 bytes, made with mode 0600 when missing) and a new session.
  // Throws ETrustError when the file cannot be read or made, or is not a key.
  static std::unique_ptr<TLineSigner> FromKeyFile(const std::string& file);
  // A fresh key pair held in memory only.
  static std::unique_ptr<TLineSigner> Generate();

  const TPublicKey& PublicKey() const { return trailer_.PublicKey; }
  const TSessionId& Session() const { return trailer_.Session; }
  // Appends the trailer for this frame to payload, which holds the chat line and its
  // zero byte (anything after the first zero is not signed and should not be there).
  void AppendTrailer(std::vector<std::uint8_t>& payload, std::uint32_t sender_id, std::uint32_t sequence) const;

 private:
  TLineSigner();
  std::array<std::uint8_t, 64> secret_{};
  TLineTrailer trailer_;
};

// The keys pinned per identity and the sessions seen per key, kept in a file.
class TPinStore {
 public:
  // Held only in memory when file is empty.
  explicit TPinStore(std::string file = {});

  struct TPin {
    std::string Identity;
    TPublicKey Key;
  };
  std::vector<TPin> Pins() const;
  std::optional<TPublicKey> Pinned(const std::string& identity) const;
  // False when kMaxPins identities are pinned already (a flood of made-up senders).
  bool Pin(const std::string& identity, const TPublicKey& key);
  static constexpr std::size_t kMaxPins = 4096;
  // Forgets an identity's key (a colleague's reinstall); the next key seen is pinned.
  void Forget(const std::string& identity);

  // A session's highest sequence seen, and the part of it that came from the file (a
  // line at or below that was seen before this program started: a replay).
  struct TSession {
    std::uint32_t LastSequence = 0;
    std::optional<std::uint32_t> StoredSequence;
    std::uint64_t Used = 0;  // recency
  };
  TSession* FindSession(const TPublicKey& key, const TSessionId& session);
  void RecordSession(const TPublicKey& key, const TSessionId& session, std::uint32_t sequence);
  // Sessions kept per key and in all; the least recently used goes first.
  static constexpr std::size_t kSessionsPerKey = 64;
  static constexpr std::size_t kMaxSessions = 4096;

  // Reads the file again when it changed since the last read or write (another program
  // or the preferences forgot a pin). Sessions of this run stay.
  void Reload();
  // Writes the file (no-op without one); at most once a second unless forced. False when
  // it could not be written: pins and sessions then live in memory until a later save.
  bool Save(bool force = false);
  ~TPinStore();

 private:
  void ReadFile();
  std::string file_;
  std::map<std::string, TPublicKey> pins_;
  std::map<std::string, TPublicKey> unsaved_pins_;  // kept when the file is read again
  std::map<std::pair<TPublicKey, TSessionId>, TSession> sessions_;
  std::uint64_t use_counter_ = 0;
  bool dirty_ = false;
  std::int64_t file_stamp_ = -1;
  std::chrono::steady_clock::time_point last_save_{};
};

enum class TLineTrust { Unsigned, Verified, Forged };

struct TLineCheck {
  TLineTrust Trust = TLineTrust::Unsigned;
  bool Repeat = false;      // a copy of a verified line already delivered: drop silently
  std::string Fingerprint;  // of the key in the trailer, when there is one
  std::string Reason;       // why forged: "bad signature", "other key", "replay", ...
};

// Checks received frames against the pin store. Checks are bounded per source address
// and in all, so a flood of bad trailers costs the window thread a fixed share; frames
// beyond the bound are counted as forged without a check.
class TLineVerifier {
 public:
  // About 5 % of the window thread for the checks in all (one takes some 50 µs).
  static constexpr double kChecksPerSource = 100;
  static constexpr double kChecksInAll = 1000;

  // The bound: checks a second per source address, and in all.
  explicit TLineVerifier(std::unique_ptr<TPinStore> store, double checks_per_source = kChecksPerSource,
                         double checks_in_all = kChecksInAll);
  // payload: the frame's body (line, zero byte, trailer); source: IPv4, network order.
  TLineCheck Check(std::uint32_t source, std::uint32_t sender_id, std::uint32_t sequence, const std::uint8_t* payload,
                   std::size_t size);
  TPinStore& Store() { return *store_; }
  std::uint64_t Unchecked() const { return unchecked_; }

 private:
  struct TBucket {
    double tokens;
    std::chrono::steady_clock::time_point refilled;
  };
  bool Take(TBucket& bucket, double rate);
  std::unique_ptr<TPinStore> store_;
  double per_source_, in_all_;
  std::unordered_map<std::uint32_t, TBucket> buckets_;
  TBucket all_;
  std::uint64_t unchecked_ = 0;
};

}  // namespace hw
