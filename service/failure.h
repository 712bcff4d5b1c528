#pragma once

#include <string>
#include <variant>

namespace qrlogo::service {

// Why a request cannot be answered with a picture.
enum class ServiceError {
    NotFound,
    MethodNotAllowed,
    TargetTooLong,
    MalformedQuery,
    BadParameter,
    TextNotInCharset,
    TextTooLong,
    WidthTooSmall,
    RenderFailed,
};

struct Failure {
    ServiceError error;
    // The parameter at fault, or empty when the failure is not about one.
    std::string parameter;
};

// A result or the failure that prevented it.
template <typename T>
using Outcome = std::variant<T, Failure>;

struct StatusAndReason {
    unsigned status;
    std::string reason;
};

// The one place that turns a failure into its HTTP status and short text/plain reason.
StatusAndReason DescribeFailure(const Failure& failure);

}  // namespace qrlogo::service
