#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace warenkai::test {

// A port of 127.0.0.1 that takes connections but never answers: a server that hangs.
struct SilentPort {
    SilentPort() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        ::listen(socket, 64);
    }
    ~SilentPort() { ::close(socket); }

    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
};

}  // namespace warenkai::test
