#include "transport/Trust.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/store/Profile.h"

namespace hw {

namespace {

// Signatures cover this tag too, so a signature made for something else never passes
// for a line.
constexpr char kDomainTag[] = "hallwire chat line 1";

void InitSodium() {
  static const int ready = sodium_init();
  if (ready < 0) throw ETrustError("The signing library could not start");
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> SignedBytes(std::uint32_t sender_id, std::uint32_t sequence, const TSessionId& session,
                                      const std::uint8_t* line, std::size_t size) {
  constexpr std::size_t kTag = sizeof kDomainTag;
  std::vector<std::uint8_t> out(kTag + 8 + session.size() + size);
  std::memcpy(out.data(), kDomainTag, kTag);
  PutLe32(out.data() + kTag, sender_id);
  PutLe32(out.data() + kTag + 4, sequence);
  std::memcpy(out.data() + kTag + 8, session.data(), session.size());
  if (size) std::memcpy(out.data() + kTag + 8 + session.size(), line, size);
  return out;
}

template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (auto b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

template <std::size_t N>
bool FromHex(const std::string& text, std::array<std::uint8_t, N>& out) {
  if (text.size() != 2 * N) return false;
  for (std::size_t i = 0; i < N; ++i) {
    unsigned v = 0;
    if (std::sscanf(text.c_str() + 2 * i, "%2x", &v) != 1) return false;
    out[i] = static_cast<std::uint8_t>(v);
  }
  return true;
}

std::int64_t FileStamp(const std::string& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec + st.st_size;
}

}  // namespace

std::optional<TLineTrailer> DecodeTrailer(const std::uint8_t* bytes, std::size_t size) {
  if (!bytes || size != kTrailerSize || bytes[0] != kTrailerVersion) return std::nullopt;
  TLineTrailer t;
  t.Version = bytes[0];
  std::memcpy(t.PublicKey.data(), bytes + 1, t.PublicKey.size());
  std::memcpy(t.Session.data(), bytes + 33, t.Session.size());
  std::memcpy(t.Signature.data(), bytes + 49, t.Signature.size());
  return t;
}

void EncodeTrailer(const TLineTrailer& t, std::uint8_t* out) {
  out[0] = t.Version;
  std::memcpy(out + 1, t.PublicKey.data(), t.PublicKey.size());
  std::memcpy(out + 33, t.Session.data(), t.Session.size());
  std::memcpy(out + 49, t.Signature.data(), t.Signature.size());
}

std::string LineIdentity(const std::string& line) {
  const auto open = line.find("( ");
  if (open == std::string::npos || open == 0) return {};
  const auto close = line.find(" )", open + 2);
  if (close == std::string::npos) return {};
  return line.substr(0, close + 2);
}

std::string LineComputer(const std::string& line) {
  return LineIdentity(line).empty() ? std::string() : line.substr(0, line.find("( "));
}

namespace {

std::string InUserFolder(const char* name) {
  const std::string folder = ProfileFolder();
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0700);
  return folder + name;
}

}  // namespace

std::string UserKeyFile() { return InUserFolder("signing.key"); }
std::string UserPinFile() { return InUserFolder("pinned-keys"); }

std::string KeyFingerprint(const TPublicKey& key) {
  InitSodium();
  std::array<std::uint8_t, crypto_hash_sha256_BYTES> hash{};
  crypto_hash_sha256(hash.data(), key.data(), key.size());
  std::array<std::uint8_t, 8> head{};
  std::copy_n(hash.begin(), head.size(), head.begin());
  const std::string hex = Hex(head);
  return hex.substr(0, 4) + " " + hex.substr(4, 4) + " " + hex.substr(8, 4) + " " + hex.substr(12, 4);
}

// ---------------------------------------------------------------------------
// TLineSigner

TLineSigner::TLineSigner() {
  InitSodium();
  randombytes_buf(trailer_.Session.data(), trailer_.Session.size());
}

std::unique_ptr<TLineSigner> TLineSigner::Generate() {
  std::unique_ptr<TLineSigner> signer(new TLineSigner);
  crypto_sign_keypair(signer->trailer_.PublicKey.data(), signer->secret_.data());
  return signer;
}

std::unique_ptr<TLineSigner> TLineSigner::FromKeyFile(const std::string& file) {
  std::unique_ptr<TLineSigner> signer(new TLineSigner);
  auto& secret = signer->secret_;
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    // Made where nobody else may read it; O_EXCL so two first starts cannot mix keys.
    crypto_sign_keypair(signer->trailer_.PublicKey.data(), secret.data());
    fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      const bool written = write(fd, secret.data(), secret.size()) == static_cast<ssize_t>(secret.size());
      close(fd);
      if (!written) {
        unlink(file.c_str());
        throw ETrustError("The signing key could not be written to " + file);
      }
      return signer;
    }
    if (errno != EEXIST) throw ETrustError("The signing key could not be made in " + file + ": " + std::strerror(errno));
    fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);  // another copy made it first
  }
  if (fd < 0) throw ETrustError("The signing key " + file + " could not be read: " + std::strerror(errno));
  const ssize_t got = read(fd, secret.data(), secret.size());
  char extra;
  const bool more = read(fd, &extra, 1) > 0;
  close(fd);
  if (got != static_cast<ssize_t>(secret.size()) || more) throw ETrustError(file + " is not a signing key");
  crypto_sign_ed25519_sk_to_pk(signer->trailer_.PublicKey.data(), secret.data());
  return signer;
}

void TLineSigner::AppendTrailer(std::vector<std::uint8_t>& payload, std::uint32_t sender_id,
                                std::uint32_t sequence) const {
  const auto zero = std::find(payload.begin(), payload.end(), 0);
  const auto message = SignedBytes(sender_id, sequence, trailer_.Session, payload.data(),
                                   static_cast<std::size_t>(zero - payload.begin()));
  TLineTrailer t = trailer_;
  crypto_sign_detached(t.Signature.data(), nullptr, message.data(), message.size(), secret_.data());
  if (zero == payload.end()) payload.push_back(0);
  const std::size_t at = payload.size();
  payload.resize(at + kTrailerSize);
  EncodeTrailer(t, payload.data() + at);
}

// ---------------------------------------------------------------------------
// TPinStore

TPinStore::TPinStore(std::string file) : file_(std::move(file)) {
  InitSodium();
  if (!file_.empty()) ReadFile();
}

TPinStore::~TPinStore() { Save(true); }

std::vector<TPinStore::TPin> TPinStore::Pins() const {
  std::vector<TPin> out;
  for (const auto& [identity, key] : pins_) out.push_back({identity, key});
  return out;
}

std::optional<TPublicKey> TPinStore::Pinned(const std::string& identity) const {
  const auto it = pins_.find(identity);
  if (it == pins_.end()) return std::nullopt;
  return it->second;
}

bool TPinStore::Pin(const std::string& identity, const TPublicKey& key) {
  if (pins_.size() >= kMaxPins && !pins_.count(identity)) return false;
  pins_[identity] = key;
  unsaved_pins_[identity] = key;
  dirty_ = true;
  Save();
  return true;
}

void TPinStore::Forget(const std::string& identity) {
  unsaved_pins_.erase(identity);
  if (pins_.erase(identity)) {
    dirty_ = true;
    Save(true);
  }
}

TPinStore::TSession* TPinStore::FindSession(const TPublicKey& key, const TSessionId& session) {
  const auto it = sessions_.find({key, session});
  return it == sessions_.end() ? nullptr : &it->second;
}

void TPinStore::RecordSession(const TPublicKey& key, const TSessionId& session, std::uint32_t sequence) {
  TSession& s = sessions_[{key, session}];
  s.LastSequence = sequence;
  s.Used = ++use_counter_;
  // Bounded per key: a key that signs a flood of sessions cannot grow the store.
  std::size_t count = 0;
  auto oldest = sessions_.end();
  for (auto it = sessions_.lower_bound({key, TSessionId{}}); it != sessions_.end() && it->first.first == key; ++it) {
    ++count;
    if (oldest == sessions_.end() || it->second.Used < oldest->second.Used) oldest = it;
  }
  if (count > kSessionsPerKey) sessions_.erase(oldest);
  if (sessions_.size() > kMaxSessions) {
    auto least = sessions_.begin();
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
      if (it->second.Used < least->second.Used) least = it;
    sessions_.erase(least);
  }
  dirty_ = true;
  Save();
}

void TPinStore::Reload() {
  if (file_.empty() || FileStamp(file_) == file_stamp_) return;
  ReadFile();
}

void TPinStore::ReadFile() {
  std::ifstream in(file_);
  file_stamp_ = FileStamp(file_);
  if (!in) return;
  pins_.clear();
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, key_hex;
    words >> kind >> key_hex;
    TPublicKey key;
    if (!FromHex(key_hex, key)) continue;
    if (kind == "pin") {
      std::string identity;
      std::getline(words >> std::ws, identity);
      if (!identity.empty()) pins_[identity] = key;
    } else if (kind == "session") {
      std::string session_hex;
      std::uint32_t sequence = 0;
      TSessionId session;
      if (!(words >> session_hex >> sequence) || !FromHex(session_hex, session)) continue;
      // Sessions of this run know better than the file; others were seen before it.
      auto [it, added] = sessions_.try_emplace({key, session});
      if (added) {
        it->second.LastSequence = sequence;
        it->second.StoredSequence = sequence;
        it->second.Used = ++use_counter_;
      }
    }
  }
  for (const auto& [identity, key] : unsaved_pins_) pins_.try_emplace(identity, key);
}

bool TPinStore::Save(bool force) {
  if (file_.empty() || !dirty_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - last_save_ < std::chrono::seconds(1)) return true;
  std::vector<std::pair<std::uint64_t, std::string>> sessions;
  for (const auto& [id, s] : sessions_)
    sessions.emplace_back(s.Used, "session " + Hex(id.first) + " " + Hex(id.second) + " " +
                                      std::to_string(s.LastSequence) + "\n");
  std::sort(sessions.begin(), sessions.end());
  std::string text = "# Hallwire: keys pinned per identity, and the sessions seen per key\n";
  for (const auto& [identity, key] : pins_) text += "pin " + Hex(key) + " " + identity + "\n";
  for (const auto& s : sessions) text += s.second;
  // Written beside and renamed over, so a reader never sees half a file.
  const std::string temp = file_ + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  if (!written || rename(temp.c_str(), file_.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  file_stamp_ = FileStamp(file_);
  last_save_ = now;
  dirty_ = false;
  unsaved_pins_.clear();
  return true;
}

// ---------------------------------------------------------------------------
// TLineVerifier

TLineVerifier::TLineVerifier(std::unique_ptr<TPinStore> store, double checks_per_source, double checks_in_all)
    : store_(std::move(store)),
      per_source_(checks_per_source),
      in_all_(checks_in_all),
      all_{checks_in_all, std::chrono::steady_clock::now()} {}

bool TLineVerifier::Take(TBucket& bucket, double rate) {
  const auto now = std::chrono::steady_clock::now();
  bucket.tokens = std::min(rate, bucket.tokens + rate * std::chrono::duration<double>(now - bucket.refilled).count());
  bucket.refilled = now;
  if (bucket.tokens < 1) return false;
  bucket.tokens -= 1;
  return true;
}

TLineCheck TLineVerifier::Check(std::uint32_t source, std::uint32_t sender_id, std::uint32_t sequence,
                                const std::uint8_t* payload, std::size_t size) {
  TLineCheck result;
  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(payload, 0, size));
  if (!zero || zero + 1 == payload + size) return result;  // no trailer: unsigned
  const std::size_t line_size = static_cast<std::size_t>(zero - payload);
  const std::size_t rest = size - line_size - 1;
  // A trailer of a later version cannot be checked here: such a line counts as unsigned.
  if (zero[1] != kTrailerVersion) return result;
  result.Trust = TLineTrust::Forged;
  const auto trailer = DecodeTrailer(zero + 1, rest);
  if (!trailer) {
    result.Reason = "malformed trailer";
    return result;
  }
  result.Fingerprint = KeyFingerprint(trailer->PublicKey);

  if (buckets_.size() > 4096) buckets_.clear();  // a flood of sources: start afresh
  auto [bucket, added] = buckets_.try_emplace(source, TBucket{per_source_, std::chrono::steady_clock::now()});
  if (!Take(bucket->second, per_source_) || !Take(all_, in_all_)) {
    ++unchecked_;
    result.Reason = "not checked: too many signed lines at once";
    return result;
  }
  const auto message = SignedBytes(sender_id, sequence, trailer->Session, payload, line_size);
  if (crypto_sign_verify_detached(trailer->Signature.data(), message.data(), message.size(),
                                  trailer->PublicKey.data()) != 0) {
    result.Reason = "bad signature";
    return result;
  }
  const std::string identity = LineIdentity(std::string(reinterpret_cast<const char*>(payload), line_size));
  if (identity.empty()) {
    result.Reason = "no sender named";
    return result;
  }
  store_->Reload();
  const auto pinned = store_->Pinned(identity);
  if (pinned && *pinned != trailer->PublicKey) {
    result.Reason = "other key";
    return result;
  }
  if (TPinStore::TSession* session = store_->FindSession(trailer->PublicKey, trailer->Session)) {
    // At or below what the file held: seen before this program started, so a replay.
    // Above that but not new: a copy of a line already shown (another interface).
    if (session->StoredSequence && sequence <= *session->StoredSequence) {
      result.Reason = "replay";
      return result;
    }
    if (sequence <= session->LastSequence) {
      result.Trust = TLineTrust::Verified;
      result.Repeat = true;
      return result;
    }
  }
  if (!pinned && !store_->Pin(identity, trailer->PublicKey)) {
    // Too many senders pinned already: this one cannot be vouched for, nor is it forged.
    result.Trust = TLineTrust::Unsigned;
    result.Reason = "too many keys pinned";
    return result;
  }
  store_->RecordSession(trailer->PublicKey, trailer->Session, sequence);
  result.Trust = TLineTrust::Verified;
  return result;
}

}  // namespace hw
