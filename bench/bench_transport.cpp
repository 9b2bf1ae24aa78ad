// bench_transport [--seconds S] [--burst N] [--samples K] [--payload BYTES]
//
// Measures the mailslot transport on this computer, confined to loopback:
//   1. raw UDP datagrams per second through a plain socket pair on 127.0.0.1, with
//      datagrams of the size the carrier sends for one frame (measured half before,
//      half after 2);
//   2. frames per second end to end through two terminals: terminal A writes to
//      terminal B's mailslot by this computer's name, which goes as a UDP unicast over
//      loopback, and B delivers through its polling check; and the ratio of 2 to 1;
//   3. the loss of a burst of N frames written back to back;
//   4. the delay from a frame's arrival to its OnNewMessage event, p50 and p99,
//      against the terminal's polling interval.
// Exit 0 when every target is met (ratio >= 0.8, loss 0, p99 <= interval + 10 ms), else 1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/system/WindowThread.h"
#include "transport/Mailslot.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kInterval = 250;
constexpr double kTargetRatio = 0.8;
const char* const kSenderSlot = "hwBenchA";
const char* const kReceiverSlot = "hwBenchB";

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The environment the platform layer reads on first use: loopback only, and a UDP
// port that no other program on this computer is using right now.
void ConfineToLoopback() {
  const char* interfaces = std::getenv("HALLWIRE_INTERFACES");
  if (interfaces && std::strcmp(interfaces, "lo") != 0)
    std::printf("note: HALLWIRE_INTERFACES=%s replaced by lo; the benchmark stays on this computer\n", interfaces);
  setenv("HALLWIRE_INTERFACES", "lo", 1);
  if (std::getenv("HALLWIRE_DGRAM_PORT")) return;
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_ANY);
  socklen_t len = sizeof addr;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    setenv("HALLWIRE_DGRAM_PORT", std::to_string(ntohs(addr.sin_port)).c_str(), 1);
  if (fd >= 0) close(fd);
}

// This computer's count of UDP datagrams dropped because a receive buffer was full
// (all sockets; nothing else should be busy on loopback during a run).
long long UdpReceiveBufferDrops() {
  std::FILE* f = std::fopen("/proc/net/snmp", "r");
  if (!f) return -1;
  char header[512], values[512];
  long long drops = -1;
  while (std::fgets(header, sizeof header, f) && std::fgets(values, sizeof values, f)) {
    if (std::strncmp(header, "Udp:", 4) != 0) continue;
    // The header line names the columns; take the value under RcvbufErrors.
    int column = 0, wanted = -1;
    for (char* word = std::strtok(header, " \n"); word; word = std::strtok(nullptr, " \n"), ++column)
      if (std::strcmp(word, "RcvbufErrors") == 0) wanted = column;
    column = 0;
    for (char* word = std::strtok(values, " \n"); word; word = std::strtok(nullptr, " \n"), ++column)
      if (column == wanted) drops = std::atoll(word);
    break;
  }
  std::fclose(f);
  return drops;
}

std::string DropsText(long long before, long long after) {
  if (before < 0 || after < 0) return "";
  return ", " + std::to_string(after - before) + " dropped by full UDP receive buffers";
}

struct TRawResult {
  std::uint64_t sent = 0;
  std::uint64_t received = 0;
  double seconds = 0;
  double PerSecond() const { return seconds > 0 ? static_cast<double>(received) / seconds : 0; }
};

// A plain socket pair on loopback: one thread sends for `duration`, another receives
// (one recv per datagram, as the carrier's I/O thread does).
TRawResult RawUdp(std::size_t size, Clock::duration duration) {
  TRawResult result;
  const int rx = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int tx = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int buffer = 4 * 1024 * 1024;
  if (setsockopt(rx, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
    setsockopt(rx, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  timeval tv{0, 300000};
  setsockopt(rx, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
      connect(tx, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::perror("raw UDP socket pair");
    close(rx);
    close(tx);
    return result;
  }

  std::atomic<bool> sending{true};
  Clock::time_point last_arrival;
  std::uint64_t received = 0;
  std::thread receiver([&] {
    std::vector<char> data(size + 1);
    for (;;) {
      const ssize_t got = recv(rx, data.data(), data.size(), 0);
      if (got >= 0) {
        ++received;
        last_arrival = Clock::now();
      } else if (!sending) {
        break;  // nothing more for 300 ms after the sender stopped
      }
    }
  });

  std::vector<char> payload(size, 'x');
  const auto start = Clock::now();
  const auto end = start + duration;
  std::uint64_t sent = 0;
  while (Clock::now() < end)
    for (int i = 0; i < 256; ++i)
      if (send(tx, payload.data(), payload.size(), 0) == static_cast<ssize_t>(payload.size())) ++sent;
  sending = false;
  receiver.join();
  close(rx);
  close(tx);
  result.sent = sent;
  result.received = received;
  result.seconds = received ? Seconds(last_arrival - start) : 0;
  return result;
}

// What terminal B saw.
struct TDeliveries {
  std::uint64_t count = 0;
  std::uint64_t out_of_order = 0;
  std::uint64_t last_index = 0;
  Clock::time_point last_time;
  std::vector<double> delays_ms;
  bool record_delays = false;
};

struct TBench {
  hw::TMessageLoop loop;
  std::unique_ptr<hw::TMailslotTerminal> receiver;
  std::unique_ptr<hw::TMailslotTerminal> sender;
  TDeliveries seen;
  std::vector<std::uint8_t> payload;
  std::uint64_t next_index = 0;

  explicit TBench(std::size_t payload_size) : payload(std::max<std::size_t>(payload_size, 17), 'x') {
    payload.back() = 0;
    receiver = std::make_unique<hw::TMailslotTerminal>(loop);
    receiver->SetInterval(kInterval);
    receiver->SetMailslotName(kReceiverSlot);
    receiver->SetOnNewMessage([this](hw::TMailslotTerminal& t, std::uint32_t, std::uint16_t size) {
      const auto now = Clock::now();
      if (size < 16) return;
      std::uint64_t index = 0;
      std::int64_t sent_ns = 0;
      std::memcpy(&index, t.MessageStream().Memory() + hw::kFrameHeaderSize, 8);
      std::memcpy(&sent_ns, t.MessageStream().Memory() + hw::kFrameHeaderSize + 8, 8);
      ++seen.count;
      if (index <= seen.last_index) ++seen.out_of_order;
      seen.last_index = index;
      seen.last_time = now;
      if (seen.record_delays)
        seen.delays_ms.push_back(Millis(now.time_since_epoch() - std::chrono::nanoseconds(sent_ns)));
    });
    receiver->SetOnError([](const std::exception& e) { std::fprintf(stderr, "receiver error: %s\n", e.what()); });

    sender = std::make_unique<hw::TMailslotTerminal>(loop);
    sender->SetInterval(kInterval);
    sender->SetMailslotName(kSenderSlot);
    // A terminal writes to the mailslot of its own name; point its client at B's.
    sender->Client().SetMailslotName(kReceiverSlot);
    sender->SetReceiver(hw::TReceiverType::rcDomainOrComputer);
    sender->SetReceiverName(hw::platform::net::Config().computer_name);
  }

  void Reset(bool record_delays) {
    seen = TDeliveries{};
    seen.record_delays = record_delays;
  }

  // Sends one frame carrying its index and the time of sending.
  bool Send() {
    const std::uint64_t index = ++next_index;
    const std::int64_t now_ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    std::memcpy(payload.data(), &index, 8);
    std::memcpy(payload.data() + 8, &now_ns, 8);
    try {
      sender->Send(payload.data(), static_cast<std::uint16_t>(payload.size()));
      return true;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "send failed: %s\n", e.what());
      return false;
    }
  }

  // Runs the loop until every sent frame was delivered or nothing arrived for a while.
  void Drain(std::uint64_t sent) {
    const auto quiet = std::chrono::milliseconds(4 * kInterval);
    std::uint64_t before = seen.count;
    auto last_progress = Clock::now();
    while (seen.count < sent && Clock::now() - last_progress < quiet) {
      loop.ProcessFor(20ms);
      if (seen.count != before) before = seen.count, last_progress = Clock::now();
    }
  }
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
  return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

int Usage() {
  std::fprintf(stderr, "usage: bench_transport [--seconds S] [--burst N] [--samples K] [--payload BYTES]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 3;
  long burst = 10000, samples = 400, payload_size = 64;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    char* end = nullptr;
    if (arg == "--seconds") {
      seconds = std::strtod(argv[++i], &end);
      if (*end || seconds <= 0) return Usage();
    } else if (arg == "--burst" || arg == "--samples" || arg == "--payload") {
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end || value <= 0) return Usage();
      (arg == "--burst" ? burst : arg == "--samples" ? samples : payload_size) = value;
    } else {
      return Usage();
    }
  }
  if (payload_size < 17 || payload_size > 60000) {
    std::fprintf(stderr, "--payload must be between 17 and 60000 bytes\n");
    return 2;
  }

  ConfineToLoopback();
  const auto& config = hw::platform::net::Config();
  const std::size_t frame_size = hw::kFrameHeaderSize + static_cast<std::size_t>(payload_size);
  const std::size_t datagram_size =
      hw::platform::net::EncodedDatagramSize(std::strlen("\\MAILSLOT\\") + std::strlen(kReceiverSlot), frame_size);
  std::printf("bench_transport: computer %s, port %u, interfaces lo, %u cores\n", config.computer_name.c_str(),
              config.port, std::thread::hardware_concurrency());
  std::printf("frame %zu bytes (payload %ld), carrier datagram %zu bytes, interval %u ms\n\n", frame_size, payload_size,
              datagram_size, kInterval);

  std::unique_ptr<TBench> bench;
  try {
    bench = std::make_unique<TBench>(static_cast<std::size_t>(payload_size));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cannot create the terminals: %s\n", e.what());
    return 2;
  }
  const auto duration = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));

  // 1. Raw UDP, half before and half after the terminals' run, so that a change of
  // load on this computer during the run weighs on both figures alike.
  TRawResult raw = RawUdp(datagram_size, duration / 2);

  // 2. End to end: send in batches and let the window thread run the checks between them.
  bench->Reset(false);
  std::uint64_t sent = 0;
  long long drops = UdpReceiveBufferDrops();
  const auto start = Clock::now();
  while (Clock::now() - start < duration) {
    for (int i = 0; i < 64; ++i) sent += bench->Send() ? 1 : 0;
    bench->loop.ProcessPending();
  }
  bench->Drain(sent);
  const double e2e_seconds = bench->seen.count ? Seconds(bench->seen.last_time - start) : 0;
  const double e2e = e2e_seconds > 0 ? static_cast<double>(bench->seen.count) / e2e_seconds : 0;
  const std::string e2e_drops = DropsText(drops, UdpReceiveBufferDrops());
  const TRawResult after = RawUdp(datagram_size, duration / 2);
  raw.sent += after.sent;
  raw.received += after.received;
  raw.seconds += after.seconds;
  std::printf("raw UDP, loopback:        %10.0f datagrams/s  (%llu sent, %llu received in %.2f s)\n", raw.PerSecond(),
              static_cast<unsigned long long>(raw.sent), static_cast<unsigned long long>(raw.received), raw.seconds);
  const double ratio = raw.PerSecond() > 0 ? e2e / raw.PerSecond() : 0;
  std::printf("terminal to terminal:     %10.0f frames/s     (%llu sent, %llu delivered in %.2f s%s)\n", e2e,
              static_cast<unsigned long long>(sent), static_cast<unsigned long long>(bench->seen.count), e2e_seconds,
              e2e_drops.c_str());
  std::printf("ratio:                    %10.2f              (target >= %.2f)  %s\n\n", ratio, kTargetRatio,
              ratio >= kTargetRatio ? "met" : "MISSED");

  // 3. Burst loss.
  bench->Reset(false);
  std::uint64_t burst_sent = 0;
  drops = UdpReceiveBufferDrops();
  const auto burst_start = Clock::now();
  for (long i = 0; i < burst; ++i) burst_sent += bench->Send() ? 1 : 0;
  const double burst_send_ms = Millis(Clock::now() - burst_start);
  bench->Drain(burst_sent);
  const long long lost = static_cast<long long>(burst) - static_cast<long long>(bench->seen.count);
  std::printf("burst of %ld frames:      %10lld lost          (target 0)  %s\n", burst, lost,
              lost == 0 ? "met" : "MISSED");
  std::printf("  written in %.1f ms, %llu delivered, %llu out of order%s\n\n", burst_send_ms,
              static_cast<unsigned long long>(bench->seen.count),
              static_cast<unsigned long long>(bench->seen.out_of_order),
              DropsText(drops, UdpReceiveBufferDrops()).c_str());

  // 4. Arrival-to-event delay: frames at irregular moments, so that arrivals fall at
  // every phase of the polling interval. On loopback the frame is queued within
  // microseconds of the send, so the send time stands for the arrival time.
  bench->Reset(true);
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> gap_ms(2, 18);
  std::uint64_t probes = 0;
  for (long i = 0; i < samples; ++i) {
    probes += bench->Send() ? 1 : 0;
    bench->loop.ProcessFor(std::chrono::milliseconds(gap_ms(random)));
  }
  bench->Drain(probes);
  const auto& delays = bench->seen.delays_ms;
  const double p50 = Percentile(delays, 50), p99 = Percentile(delays, 99);
  const double worst = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
  std::printf("arrival to event (%zu of %llu frames):\n", delays.size(), static_cast<unsigned long long>(probes));
  std::printf("  p50 %7.1f ms   p99 %7.1f ms   max %7.1f ms   interval %u ms  (target p99 <= %u ms)  %s\n", p50, p99,
              worst, kInterval, kInterval + 10,
              !delays.empty() && p99 <= kInterval + 10.0 && delays.size() == probes ? "met" : "MISSED");

  const bool met = ratio >= kTargetRatio && lost == 0 && !delays.empty() && delays.size() == probes && p99 <= kInterval + 10.0;
  bench.reset();
  return met ? 0 : 1;
}
