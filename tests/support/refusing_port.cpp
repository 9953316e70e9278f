#include "support/refusing_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tavrin::test {

RefusingPort::RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (fd_ < 0) {
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const int error = errno;
        ::close(fd_);
        throw std::runtime_error(std::string("bind: ") + std::strerror(error));
    }
    port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() { ::close(fd_); }

std::string RefusingPort::url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

}  // namespace tavrin::test
