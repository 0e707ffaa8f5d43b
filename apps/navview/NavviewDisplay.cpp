#include "apps/navview/NavviewDisplay.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

bool ConnectUnix(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // Linux abstract names start with a zero byte
  if (path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(fd);
  return ok;
}

bool ConnectTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (addrinfo* a = found; a && !ok; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    ok = connect(fd, a->ai_addr, a->ai_addrlen) == 0;
    close(fd);
  }
  freeaddrinfo(found);
  return ok;
}

}  // namespace

bool NavviewDisplay::ReachableX(const std::string& display, const std::string& socketDir) {
  const auto colon = display.rfind(':');
  if (colon == std::string::npos || colon + 1 >= display.size()) return false;
  std::string host = display.substr(0, colon);
  const std::string rest = display.substr(colon + 1);
  char* end = nullptr;
  const long number = std::strtol(rest.c_str(), &end, 10);
  if (end == rest.c_str() || (*end && *end != '.') || number < 0 || number > 59535) return false;
  if (host.rfind("unix", 0) == 0 && (host.size() == 4 || host[4] == '/')) host.clear();
  if (host.empty()) {
    const std::string path = socketDir + "/X" + std::to_string(number);
    return ConnectUnix(path, false) || ConnectUnix(path, true);
  }
  return ConnectTcp(host, 6000 + static_cast<int>(number));
}

bool NavviewDisplay::ReachableWayland(const std::string& display, const std::string& runtimeDir) {
  if (display.empty()) return false;
  const std::string path = display[0] == '/' ? display : runtimeDir + "/" + display;
  return ConnectUnix(path, false);
}

bool NavviewDisplay::FromEnvironment(std::string* why) {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (wayland && *wayland && ReachableWayland(wayland, runtime ? runtime : "")) return true;
  const char* x = std::getenv("DISPLAY");
  if (x && *x && ReachableX(x)) return true;
  if (why) {
    *why = x && *x ? "cannot connect to display '" + std::string(x) + "'"
           : wayland && *wayland ? "cannot connect to Wayland display '" + std::string(wayland) + "'"
                                 : "no display";
  }
  return false;
}
