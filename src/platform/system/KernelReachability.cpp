// Reachability from the kernel's routing tables: is there a usable default route?
#include "platform/system/KernelReachability.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/FileDescriptor.h"

namespace stratovane {

namespace {

// From <linux/route.h> and <linux/ipv6_route.h>; the same values in both tables.
constexpr std::uint32_t kRouteUp = 0x0001;
constexpr std::uint32_t kRouteReject = 0x0200;

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) result.push_back(line.substr(start, i - start));
  }
  return result;
}

std::optional<std::uint32_t> hexNumber(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool isZeroHex(std::string_view text) {
  return !text.empty() && text.find_first_not_of('0') == std::string_view::npos;
}

bool isUsable(std::string_view interface, std::optional<std::uint32_t> flags) {
  return flags && (*flags & kRouteUp) != 0 && (*flags & kRouteReject) == 0 && interface != "lo";
}

// Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT, numbers in hex; the
// first line is a header, which fails to parse like any other malformed line.
bool isUsableIpv4Default(std::string_view line) {
  const auto parts = fields(line);
  if (parts.size() < 8) return false;
  return isZeroHex(parts[1]) && isZeroHex(parts[7]) && isUsable(parts[0], hexNumber(parts[3]));
}

// Destination, prefix length, source, source prefix length, next hop, metric, reference
// count, use, flags, interface; all in hex.
bool isUsableIpv6Default(std::string_view line) {
  const auto parts = fields(line);
  if (parts.size() < 10) return false;
  return parts[0].size() == 32 && isZeroHex(parts[0]) && isZeroHex(parts[1]) &&
         isUsable(parts[9], hexNumber(parts[8]));
}

// Whether any line satisfies the test; stops at the first. None when the file cannot be read.
// Read in chunks, as files under /proc have no size, and a router's table can be long.
std::optional<bool> anyLine(const std::filesystem::path& path,
                            const std::function<bool(std::string_view)>& test) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!fd) return std::nullopt;
  std::string pending;
  char buffer[8192];
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (count == 0) break;
    pending.append(buffer, static_cast<std::size_t>(count));
    std::size_t start = 0;
    for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      if (test(std::string_view(pending).substr(start, end - start))) return true;
    }
    pending.erase(0, start);
    // No routing line is this long; a file that is one endless line is not a routing table.
    if (pending.size() > 65536) return std::nullopt;
  }
  return test(pending);
}

}  // namespace

KernelReachability::KernelReachability(std::filesystem::path ipv4Routes,
                                       std::filesystem::path ipv6Routes)
    : ipv4Routes_(std::move(ipv4Routes)), ipv6Routes_(std::move(ipv6Routes)) {}

std::optional<std::uint32_t> KernelReachability::flagsForAnyAddress(int family) {
  if (family != AF_INET && family != AF_INET6) return std::nullopt;
  const bool ipv4First = family == AF_INET;
  const std::optional<bool> own = ipv4First ? anyLine(ipv4Routes_, isUsableIpv4Default)
                                            : anyLine(ipv6Routes_, isUsableIpv6Default);
  if (!own) return std::nullopt;
  if (*own) return kReachable;
  const std::optional<bool> other = ipv4First ? anyLine(ipv6Routes_, isUsableIpv6Default)
                                              : anyLine(ipv4Routes_, isUsableIpv4Default);
  return other.value_or(false) ? kReachable : 0u;
}

}  // namespace stratovane
