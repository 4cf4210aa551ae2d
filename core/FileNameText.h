#pragma once

#include <string>
#include <string_view>

namespace parlowen {

// File names and arguments as the system gives them: UTF-8, except that a byte which is not part of a valid
// UTF-8 sequence (RFC 3629: no overlong forms, surrogates or values beyond U+10FFFF) becomes U+DC00 + byte,
// the same raw-byte units as the Shift-JIS codec's. Encoding writes those units back as their bytes, so a
// name given in any encoding reaches the file system exactly as it was.
std::u16string DecodeFileName(std::string_view bytes);
std::string EncodeFileName(std::u16string_view text);

} // namespace parlowen
