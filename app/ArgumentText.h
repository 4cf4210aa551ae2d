#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace parlowen {

// Arguments and file names as the system gives them: UTF-8, except that a byte which is not part of a valid
// UTF-8 sequence (a Shift-JIS file name copied from Windows, say) becomes U+DC00 + byte and is written back
// as that byte, so every path reaches the file system exactly as it was typed.
class ArgumentText {
  public:
    static QString Decode(std::string_view bytes);
    static std::string Encode(const QString& text);
    static QStringList DecodeAll(int argc, const char* const* argv);
    // Whether the text holds a byte that was not valid UTF-8.
    static bool HasRawBytes(const QString& text);
};

} // namespace parlowen
