#pragma once
// How the bytes of one connected socket travel: as they are (plain HTTP), or
// inside TLS (TlsTransport.h). The Connection owns the socket and does all
// the waiting, in slices with the GUI pumped between them; a transport never
// waits. When it cannot go on it says what the socket must become (readable
// or writable) before it is asked again.
//
// A transport works on a socket it does not own; the Connection destroys it
// before it closes the socket. Failures are HttpError exceptions:
// SocketError for the socket's own errors, TlsError and CertificateError
// from TLS.

#include <cstddef>
#include <functional>
#include <memory>

namespace zavrio {

// What the transport waits for before it can go on.
enum class Need { Nothing, Readable, Writable };

struct Transfer {
    std::size_t bytes = 0; // moved
    // Nothing with 0 bytes from Receive: the peer has closed.
    Need need = Need::Nothing;
};

// What a look at an idle connection finds, without waiting.
enum class PeerState {
    Quiet,    // nothing has arrived
    Closed,   // the peer has closed (or the connection failed)
    Unbidden, // the peer sent bytes nobody asked for
};

class Transport {
public:
    virtual ~Transport() = default;

    // Sets up the channel on the freshly connected socket (for TLS, one step
    // of the handshake): Need::Nothing once it is ready, else what to wait
    // for before calling Start again.
    virtual Need Start() = 0;

    // Moves received bytes into to (at most room of them).
    virtual Transfer Receive(char* to, std::size_t room) = 0;
    // Hands bytes to the peer; fewer than size may be taken.
    virtual Transfer Send(const char* data, std::size_t size) = 0;

    // Received bytes are waiting inside the transport, readable without the
    // socket becoming readable first.
    virtual bool Buffered() const = 0;
    // Called once the socket is readable while no answer is expected.
    virtual PeerState Peek() = 0;
};

// Makes the transport for a connected socket.
using TransportFactory = std::function<std::unique_ptr<Transport>(int fd)>;

// The bytes as they are, with non-blocking recv and send.
std::unique_ptr<Transport> MakePlainTransport(int fd);

} // namespace zavrio
