// A WhoIs server that a test runs itself on a loopback address of the lab (port 43, as the
// program always asks), for answers and misbehaviours the lab's own WhoIs host never shows.
#pragma once
#include "lab_topology.h"
#include <winsock2.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class LoopbackWhois {
  public:
    // Serves one connection on LAB_LOOPBACK_WHOIS_NET.n: reads the query line (unless
    // readQuery is false), then hands the connection to serve, then closes it.
    LoopbackWhois(int n, std::function<void(SOCKET)> serve, bool readQuery = true)
        : name("whois-" + std::to_string(n) + ".loopback." LAB_DOMAIN),
          address(LAB_LOOPBACK_WHOIS_NET "." + std::to_string(n)) {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        BOOL reuse = TRUE;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<char*>(&reuse),
                   sizeof reuse);
        sockaddr_in at = {};
        at.sin_family = AF_INET;
        at.sin_port = htons(LAB_WHOIS_PORT);
        at.sin_addr.s_addr = inet_addr(address.c_str());
        listening = bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
                    listen(listener, 1) == 0;
        thread = std::thread([this, serve, readQuery] {
            // Wine wakes neither a blocking accept nor a recv when another thread closes the
            // socket: both wait with time limits instead.
            while (!stopping && !Readable(listener, 50)) {
            }
            if (stopping || (peer = accept(listener, nullptr, nullptr)) == INVALID_SOCKET)
                return;
            DWORD limit = 15000;
            setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&limit),
                       sizeof limit);
            while (readQuery && Query().find("\r\n") == std::string::npos) {
                char c;
                if (recv(peer, &c, 1, 0) != 1)
                    break;
                std::lock_guard<std::mutex> hold(queryLock);
                query += c;
            }
            serve(peer);
            shutdown(peer, SD_BOTH);
        });
    }
    ~LoopbackWhois() {
        stopping = true;
        thread.join();
        closesocket(listener);
        if (peer != INVALID_SOCKET)
            closesocket(peer);
    }

    // Sends text in pieces of at most `piece` bytes, each on its own.
    static void SendAll(SOCKET peer, const std::string& text, size_t piece = 1 << 20) {
        BOOL noDelay = TRUE;
        setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&noDelay),
                   sizeof noDelay);
        for (size_t at = 0; at < text.size(); at += piece) {
            send(peer, text.data() + at, static_cast<int>(std::min(piece, text.size() - at)), 0);
            if (piece < text.size())
                Sleep(1);
        }
    }
    // Waits until the client closes; true when it did within timeout_ms.
    static bool WaitForClose(SOCKET peer, DWORD timeout_ms = 10000) {
        setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeout_ms),
                   sizeof timeout_ms);
        char c;
        int got;
        while ((got = recv(peer, &c, 1, 0)) == 1) {
        }
        return got == 0 || WSAGetLastError() != WSAETIMEDOUT;
    }

    // The query as received so far, CR LF included; the server's thread writes it meanwhile.
    std::string Query() const {
        std::lock_guard<std::mutex> hold(queryLock);
        return query;
    }

    const std::string name, address;
    bool listening = false; // set before the server's thread starts

  private:
    mutable std::mutex queryLock;
    std::string query;
    SOCKET listener;
    static bool Readable(SOCKET s, long ms) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval wait = {0, ms * 1000};
        return select(0, &set, nullptr, nullptr, &wait) == 1;
    }
    std::atomic<bool> stopping{false};
    SOCKET peer = INVALID_SOCKET;
    std::thread thread;
};
