// POSIX serial backend: termios devices and raw TCP serial servers ("tcp:HOST:PORT").

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

#include "link/port_open_error.h"
#include "link/serial_backend.h"

namespace tw {

namespace {

constexpr std::string_view kTcpPrefix = "tcp:";

struct BaudCode {
  std::uint32_t baud;
  speed_t code;
};

constexpr std::array<BaudCode, 13> kBaudCodes{{{1200, B1200},
                                               {2400, B2400},
                                               {4800, B4800},
                                               {9600, B9600},
                                               {19200, B19200},
                                               {38400, B38400},
                                               {57600, B57600},
                                               {115200, B115200},
                                               {230400, B230400},
                                               {460800, B460800},
                                               {921600, B921600},
                                               {1000000, B1000000},
                                               {2000000, B2000000}}};

bool SpeedCode(std::uint32_t baud, speed_t& code) {
  const auto* it =
      std::find_if(kBaudCodes.begin(), kBaudCodes.end(), [baud](const BaudCode& b) { return b.baud == baud; });
  if (it == kBaudCodes.end()) {
    return false;
  }
  code = it->code;
  return true;
}

tcflag_t SizeFlag(std::uint8_t byteSize) {
  constexpr std::array<tcflag_t, 4> kFlags{CS5, CS6, CS7, CS8};  // from LineSettings::kMinByteSize
  return kFlags[byteSize - LineSettings::kMinByteSize];
}

tcflag_t ParityFlags(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return PARENB | PARODD;
    case Parity::Even:
      return PARENB;
    case Parity::None:
      break;
  }
  return 0;
}

void CloseFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

// USB adapters otherwise hold short replies back for their latency timer; some drivers refuse.
void RequestLowLatency(int fd) {
  serial_struct info{};
  if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
    info.flags |= ASYNC_LOW_LATENCY;
    (void)::ioctl(fd, TIOCSSERIAL, &info);
  }
}

int ConnectTcp(std::string_view target) {
  const std::optional<TcpTarget> parts = ParseTcpTarget(target);
  if (!parts) {
    return -EINVAL;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(parts->host.c_str(), parts->service.c_str(), &hints, &found) != 0) {
    return -ENOENT;  // connect() never says ENOENT: it stands for a host that does not resolve
  }
  int error = ECONNREFUSED;
  int fd = -1;
  for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      error = errno;
      CloseFd(fd);
    }
  }
  ::freeaddrinfo(found);
  if (fd < 0) {
    return -error;
  }
  const int one = 1;
  (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

class PosixSerialBackend final : public SerialBackend {
 public:
  ~PosixSerialBackend() override { Close(); }

  int Open(const std::string& device) override {
    Close();
    m_isSocket = device.starts_with(kTcpPrefix);
    const int error = m_isSocket ? OpenSocket(device.substr(kTcpPrefix.size())) : OpenTty(device);
    if (error == 0 && ::pipe2(m_wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
      const int pipeError = errno;
      CloseFd(m_fd);
      return pipeError;
    }
    return error;
  }

  bool Configure(const LineSettings& line) override {
    if (m_isSocket) {
      return m_fd >= 0;
    }
    termios tio{};
    speed_t speed{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &tio) != 0 || !SpeedCode(line.baud, speed)) {
      return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | SizeFlag(line.byteSize) | ParityFlags(line.parity);
    if (line.stopBits == StopBits::Two) {
      tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
      return false;
    }
    // Not every device has modem lines (a pty has none): best effort.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(m_fd, TIOCMBIS, &lines);
    return true;
  }

  void Purge() override {
    if (m_fd < 0) {
      return;
    }
    if (!m_isSocket) {
      (void)::tcflush(m_fd, TCIOFLUSH);
      return;
    }
    std::array<std::uint8_t, 4096> sink{};
    while (::read(m_fd, sink.data(), sink.size()) > 0) {
    }
  }

  WaitResult WaitReadable(std::chrono::milliseconds limit) override {
    std::array<pollfd, 2> fds{{{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}}};
    for (;;) {
      const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(limit.count()));
      if (ready < 0) {
        if (errno == EINTR) {
          continue;
        }
        return WaitResult::HangUp;
      }
      if (ready == 0) {
        return WaitResult::TimedOut;
      }
      if (fds[1].revents != 0) {
        return WaitResult::Woken;
      }
      if ((fds[0].revents & POLLIN) != 0) {
        return WaitResult::Readable;
      }
      if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return WaitResult::HangUp;
      }
    }
  }

  void Wake() override {
    const std::uint8_t byte = 1;
    (void)!::write(m_wake[1], &byte, 1);
  }

  long Read(std::uint8_t* out, std::size_t max) override {
    // The descriptor is non-blocking: read() hands over what is queued and no more.
    const ssize_t n = ::read(m_fd, out, max);
    if (n > 0) {
      return static_cast<long>(n);
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      return 0;
    }
    return kReadHangUp;
  }

  bool Write(const std::uint8_t* data, std::size_t count) override {
    while (count > 0) {
      // A server that went away must fail the write, not raise SIGPIPE.
      const ssize_t n = m_isSocket ? ::send(m_fd, data, count, MSG_NOSIGNAL) : ::write(m_fd, data, count);
      if (n > 0) {
        data += n;
        count -= static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (!WaitWritable()) {
          return false;
        }
      } else {
        return false;
      }
    }
    return true;
  }

  void Close() override {
    if (m_fd >= 0 && !m_isSocket) {
      // Drain, not purge: the speed confirmation written right before a reconnect must go out.
      (void)::tcdrain(m_fd);
      (void)::tcflush(m_fd, TCIFLUSH);
      const int dtr = TIOCM_DTR;
      (void)::ioctl(m_fd, TIOCMBIC, &dtr);
      // The exclusive flag outlives us on a tty that someone else keeps open.
      (void)::ioctl(m_fd, TIOCNXCL);
    }
    CloseFd(m_fd);
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
  }

 private:
  int OpenTty(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
      return errno;
    }
    // flock also stops a second opener running as root, whom TIOCEXCL lets through.
    int error = 0;
    if (::isatty(m_fd) == 0) {
      error = ENOTTY;
    } else if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(m_fd, TIOCEXCL) != 0) {
      error = errno;
    }
    if (error != 0) {
      CloseFd(m_fd);
      return error;
    }
    RequestLowLatency(m_fd);
    return 0;
  }

  int OpenSocket(std::string_view target) {
    const int fd = ConnectTcp(target);
    if (fd < 0) {
      return -fd;
    }
    m_fd = fd;
    (void)::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    return 0;
  }

  [[nodiscard]] bool WaitWritable() const {
    pollfd fd{m_fd, POLLOUT, 0};
    while (::poll(&fd, 1, -1) < 0) {
      if (errno != EINTR) {
        return false;
      }
    }
    return (fd.revents & POLLOUT) != 0;
  }

  int m_fd = -1;
  std::array<int, 2> m_wake{-1, -1};
  bool m_isSocket = false;
};

std::string ProcessName(const std::string& pid) {
  std::string name;
  std::ifstream comm("/proc/" + pid + "/comm");
  std::getline(comm, name);
  return "pid " + pid + " (" + name + ")";
}

// The process whose flock holds the device, from /proc/locks ("1: FLOCK ADVISORY WRITE pid MM:mm:inode
// 0 EOF"); empty when no lock is held on it.
std::string LockHolder(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) {
    return {};
  }
  std::array<char, 64> key{};
  std::snprintf(key.data(), key.size(), "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                static_cast<unsigned long>(info.st_ino));
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream fields(line);
    std::string number, kind, advisory, access, pid, file;
    if (fields >> number >> kind >> advisory >> access >> pid >> file && kind == "FLOCK" && file == key.data()) {
      return ProcessName(pid);
    }
  }
  return {};
}

bool HasOpen(const std::string& pid, const std::string& device) {
  const std::string fdDir = "/proc/" + pid + "/fd";
  DIR* fds = ::opendir(fdDir.c_str());
  if (fds == nullptr) {
    return false;
  }
  bool found = false;
  while (const dirent* fd = ::readdir(fds)) {
    std::array<char, 512> target{};
    const std::string link = fdDir + "/" + fd->d_name;
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size() - 1);
    found = found || (n > 0 && device == std::string_view(target.data(), static_cast<std::size_t>(n)));
  }
  ::closedir(fds);
  return found;
}

// Every process with the device among its open files, for a device held without a lock.
std::string Openers(const std::string& device) {
  std::string openers;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) {
    return openers;
  }
  const std::string self = std::to_string(::getpid());
  while (const dirent* entry = ::readdir(proc)) {
    const std::string pid = entry->d_name;
    if (pid.find_first_not_of("0123456789") == std::string::npos && pid != self && HasOpen(pid, device)) {
      openers += (openers.empty() ? "" : ", ") + ProcessName(pid);
    }
  }
  ::closedir(proc);
  return openers;
}

// Best effort: the process that holds the port, else every process that has it open.
std::string PortHolder(const std::string& device) {
  const std::string holder = LockHolder(device);
  if (!holder.empty()) {
    return "held by " + holder;
  }
  const std::string openers = Openers(device);
  return openers.empty() ? std::string() : "open in " + openers;
}

}  // namespace

std::unique_ptr<SerialBackend> MakeSerialBackend() { return std::make_unique<PosixSerialBackend>(); }

std::string PortOpenHint(const PortOpenError& failure) {
  if (failure.device.empty()) {
    return "No serial device found for this port number; name a device path instead.";
  }
  const bool socket = failure.device.starts_with(kTcpPrefix);
  switch (failure.error) {
    case EACCES:
    case EPERM:
      return "No permission to open " + failure.device +
             ": add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again.";
    case EBUSY:
    case EWOULDBLOCK: {
      const std::string holder = PortHolder(failure.device);
      return failure.device + " is in use by another program" + (holder.empty() ? "" : ", " + holder) + ".";
    }
    case ENOTTY:
      return failure.device + " is not a serial device.";
    case ECONNREFUSED:
      return failure.device + ": connection refused; is the serial server running?";
    case ENOENT:
      if (socket) {
        return failure.device + ": unknown host.";
      }
      [[fallthrough]];
    case ENODEV:
    case ENXIO:
      return failure.device + " does not exist; is the adapter plugged in?";
    default:
      return failure.device + ": " + std::strerror(failure.error) + ".";
  }
}

}  // namespace tw
