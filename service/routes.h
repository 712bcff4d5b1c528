#pragma once

#include <string>
#include <string_view>

namespace qrlogo::service {

struct Request {
    std::string_view method;
    // The request target as the client sent it: path, then "?" and the raw query if any.
    std::string_view target;
};

struct Response {
    unsigned status = 200;
    std::string contentType;
    std::string body;
    // The methods a 405 answer lists.
    std::string allow;
};

// Answers one request from the route table: GET /api.php renders a code, GET /healthz says ok.
// Every failure becomes its status with a short text/plain reason.
Response HandleRequest(const Request& request);

}  // namespace qrlogo::service
