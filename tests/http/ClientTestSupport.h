#pragma once
// What the HTTP client's tests share: the failure text of a Get, the target
// of a recorded request, and a 200 answer.

#include "ScriptedServer.h"
#include "http/TIdHTTP.h"

#include <string>

namespace zavrio::httptest {

// The text of the exception Get throws, or "<no error>".
inline std::string GetError(TIdHTTP& http, const std::string& address, std::string& body) {
    try {
        http.Get(address, body);
    } catch (const HttpError& e) {
        return e.what();
    }
    return "<no error>";
}

using test::RequestTarget;

inline std::string Ok(const std::string& body, const std::string& extraHeaders = "") {
    return "HTTP/1.1 200 OK\r\n" + extraHeaders + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

} // namespace zavrio::httptest
