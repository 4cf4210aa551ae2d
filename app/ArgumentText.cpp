#include "ArgumentText.h"

#include "Cp932Codec.h"
#include "FileNameText.h"
#include "QtText.h"

#include <algorithm>

namespace parlowen {

QString ArgumentText::Decode(std::string_view bytes) {
    return ToQString(DecodeFileName(bytes));
}

std::string ArgumentText::Encode(const QString& text) {
    return EncodeFileName(text.toStdU16String());
}

QStringList ArgumentText::DecodeAll(int argc, const char* const* argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << Decode(argv[index]);
    }
    return arguments;
}

bool ArgumentText::HasRawBytes(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar character) {
        return character.unicode() >= Cp932Codec::RawByteBase + 0x80 &&
               character.unicode() <= Cp932Codec::RawByteBase + 0xFF;
    });
}

} // namespace parlowen
