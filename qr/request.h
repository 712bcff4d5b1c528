#pragma once

#include "app/text.h"

namespace qrlogo {

// The fixed start of every QR service request: "http://", the service's host, then the path
// and the query up to the text parameter, "/api.php?&bg=ffffff&fg=cc0000&text=".
extern const ByteSet QrRequestPrefix;

// The URL that asks the service for the QR code of `content`: the prefix, the content with
// every byte other than A-Z, a-z, 0-9, "-", ".", "_" and "~" written as "%" and two upper-case
// hex digits, then "&w=200". The bytes stay the code-page (GB18030) bytes of the text, so the
// service decodes the escapes back into exactly the text that was typed.
Text BuildRequestUrl(const Text& content);

}  // namespace qrlogo
