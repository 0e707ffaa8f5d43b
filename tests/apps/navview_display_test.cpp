// Reaching the display before the window system starts: listening sockets stand in for
// X and Wayland servers.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "apps/navview/NavviewDisplay.h"

namespace {

struct UnixServer {
  explicit UnixServer(const std::string& path) {
    fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(fd, 4) == 0;
  }
  ~UnixServer() { close(fd); }
  int fd;
  bool ok;
};

}  // namespace

TEST(NavviewDisplay, LocalAndWaylandSocketsAreFoundAndAbsentOnesAreNot) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("navview_display_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  {
    UnixServer x((dir / "X7").string());
    ASSERT_TRUE(x.ok);
    EXPECT_TRUE(NavviewDisplay::ReachableX(":7", dir.string()));
    EXPECT_TRUE(NavviewDisplay::ReachableX(":7.0", dir.string()));
    EXPECT_TRUE(NavviewDisplay::ReachableX("unix:7", dir.string()));
    EXPECT_FALSE(NavviewDisplay::ReachableX(":8", dir.string()));  // nothing listens there
    for (const char* bad : {"", ":", "7", ":x", ":7x", ":-1"}) EXPECT_FALSE(NavviewDisplay::ReachableX(bad, dir.string())) << bad;

    UnixServer wayland((dir / "wayland-3").string());
    ASSERT_TRUE(wayland.ok);
    EXPECT_TRUE(NavviewDisplay::ReachableWayland("wayland-3", dir.string()));
    EXPECT_TRUE(NavviewDisplay::ReachableWayland((dir / "wayland-3").string(), "/nowhere"));
    EXPECT_FALSE(NavviewDisplay::ReachableWayland("wayland-4", dir.string()));
    EXPECT_FALSE(NavviewDisplay::ReachableWayland("", dir.string()));
  }
  std::filesystem::remove_all(dir);
}

TEST(NavviewDisplay, RemoteDisplaysGoThroughTcp) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  const int port = ntohs(address.sin_port);  // ephemeral ports lie above 6000
  ASSERT_GT(port, 6000);
  EXPECT_TRUE(NavviewDisplay::ReachableX("127.0.0.1:" + std::to_string(port - 6000)));
  close(fd);
  EXPECT_FALSE(NavviewDisplay::ReachableX("127.0.0.1:" + std::to_string(port - 6000)));
  EXPECT_FALSE(NavviewDisplay::ReachableX("no-such-host.invalid:0"));
}
