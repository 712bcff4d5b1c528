#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "service/failure.h"

namespace qrlogo::service {

// Query parameters by decoded name; a name given twice keeps its last value.
using Query = std::map<std::string, std::string, std::less<>>;

// Reads a query in form encoding ("a=1&b=x+y%21"): "+" is a space, "%XX" the byte XX, names in
// any order. Items with an empty name (the "?&" some clients send) are skipped; a name without
// "=" has the empty value. A "%" not followed by two hex digits is a MalformedQuery failure
// naming the parameter.
Outcome<Query> ParseQuery(std::string_view query);

}  // namespace qrlogo::service
