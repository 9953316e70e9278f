#pragma once
// A port on 127.0.0.1 that refuses every connection while this object lives.
//
// The socket is bound but never listens: a connection attempt is refused, and
// since the port stays taken, no server that another test starts meanwhile
// can be given it. (A port that was bound and then closed could be.)

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::test {

class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by `target`.
    std::string url(std::string_view target) const;

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace tavrin::test
