#include "service/failure.h"

namespace qrlogo::service {

StatusAndReason DescribeFailure(const Failure& failure) {
    const std::string& name = failure.parameter;
    switch (failure.error) {
        case ServiceError::NotFound:
            return {404, "not found"};
        case ServiceError::MethodNotAllowed:
            return {405, "method not allowed"};
        case ServiceError::TargetTooLong:
            return {414, "request target too long"};
        case ServiceError::MalformedQuery:
            return {400, "malformed percent escape in parameter " + name};
        case ServiceError::BadParameter:
            return {400, "bad value for parameter " + name};
        case ServiceError::TextNotInCharset:
            return {400, "parameter text is not valid in the given charset"};
        case ServiceError::TextTooLong:
            return {400, "text does not fit a QR code"};
        case ServiceError::WidthTooSmall:
            return {400, "parameter w too small: not one pixel per module"};
        case ServiceError::RenderFailed:
            return {500, "rendering failed"};
    }
    return {500, "internal error"};
}

}  // namespace qrlogo::service
