#include "Cp932Codec.h"

#include "Prefault.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parlowen {
namespace {

constexpr char16_t NoCharacter = 0xFFFF; // not a character of code page 932
constexpr std::uint16_t NoCode = 0xFFFF; // no code page 932 code (0xFF is never a lead byte)

struct Iconv {
    iconv_t handle;
    Iconv(const char* to, const char* from) : handle(iconv_open(to, from)) {
        if (handle == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Iconv() { iconv_close(handle); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts one whole unit; returns the bytes written, or 0 when iconv rejects or leaves input over.
    std::size_t Convert(const char* input, std::size_t inputSize, char* output, std::size_t outputSize) {
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input);
        char* out = output;
        std::size_t inLeft = inputSize;
        std::size_t outLeft = outputSize;
        if (iconv(handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return 0;
        }
        return outputSize - outLeft;
    }
};

// Asking iconv once per code and keeping the answers makes decoding a table lookup per byte.
struct Tables {
    std::array<char16_t, 256> single{};
    std::array<bool, 256> isLead{};
    std::vector<char16_t> pairs = std::vector<char16_t>(256 * 256, NoCharacter); // lead * 256 + trail
    std::vector<std::uint16_t> codes = std::vector<std::uint16_t>(0x10000, NoCode);
    // The codes that the encoder does not prefer, by character: the twins.
    std::vector<std::pair<char16_t, std::uint16_t>> twins;

    Tables() {
        Iconv decoder("UTF-16LE", "CP932");
        Iconv encoder("CP932", "UTF-16LE");
        auto decode = [&](const char* bytes, std::size_t size) -> char16_t {
            unsigned char out[4];
            if (decoder.Convert(bytes, size, reinterpret_cast<char*>(out), sizeof out) != 2) {
                return NoCharacter;
            }
            return static_cast<char16_t>(out[0] | out[1] << 8);
        };
        auto addCode = [&](char16_t character, std::uint16_t code) {
            // Where iconv names a preferred code for a character with twins, that one wins.
            const char in[2] = {static_cast<char>(character & 0xFF), static_cast<char>(character >> 8)};
            unsigned char out[4];
            std::size_t written = encoder.Convert(in, 2, reinterpret_cast<char*>(out), sizeof out);
            if (written == 1) {
                codes[character] = out[0];
            } else if (written == 2) {
                codes[character] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
            } else if (codes[character] == NoCode) {
                codes[character] = code;
            }
            if (codes[character] != code) {
                twins.emplace_back(character, code);
            }
        };
        for (int byte = 0; byte < 256; ++byte) {
            const char in = static_cast<char>(byte);
            single[byte] = decode(&in, 1);
            if (single[byte] != NoCharacter) {
                addCode(single[byte], static_cast<std::uint16_t>(byte));
                continue;
            }
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {static_cast<char>(byte), static_cast<char>(trail)};
                char16_t character = decode(pair, 2);
                if (character != NoCharacter) {
                    isLead[byte] = true;
                    pairs[byte * 256 + trail] = character;
                    addCode(character, static_cast<std::uint16_t>(byte << 8 | trail));
                }
            }
        }
        for (int byte = 0x80; byte < 0x100; ++byte) {
            codes[Cp932Codec::RawByteBase + byte] = static_cast<std::uint16_t>(byte);
        }
        std::sort(twins.begin(), twins.end());
    }

    // After a raw lead byte, the preferred code of a character with twins can begin with a byte that the lead
    // takes as its trail, turning both into other characters (raw 0x81 then 0xFA58 "㈱" would come back as
    // 0x81 0x878A, "∞" and a raw 0x8A). Decoding only left the lead raw because the code that followed it in
    // the file did not join it, so a twin that does not join always exists.
    std::uint16_t CodeAfter(char16_t previous, char16_t character, std::uint16_t code) const {
        const int lead = previous - Cp932Codec::RawByteBase;
        if (lead < 0x80 || lead > 0xFF || !isLead[lead] || pairs[lead * 256 + (code >> 8)] == NoCharacter) {
            return code;
        }
        for (auto twin =
                 std::lower_bound(twins.begin(), twins.end(), std::make_pair(character, std::uint16_t{0}));
             twin != twins.end() && twin->first == character; ++twin) {
            if (pairs[lead * 256 + (twin->second >> 8)] == NoCharacter) {
                return twin->second;
            }
        }
        return code;
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

void AppendReference(std::string& bytes, char32_t codePoint) {
    bytes += "&#";
    bytes += std::to_string(static_cast<std::uint32_t>(codePoint));
    bytes += ';';
}

} // namespace

void Cp932Codec::Prepare() {
    GetTables();
}

std::u16string Cp932Codec::Decode(std::string_view bytes) {
    std::u16string text;
    DecodeAppend(bytes, text);
    return text;
}

void Cp932Codec::DecodeAppend(std::string_view bytes, std::u16string& text) {
    const std::size_t start = text.size();
    ReserveWritable(text, start + bytes.size());
    text.resize(start + bytes.size());
    char16_t* end = DecodeTo(bytes, text.data() + start);
    text.resize(static_cast<std::size_t>(end - text.data()));
}

char16_t* Cp932Codec::DecodeTo(std::string_view bytes, char16_t* out) {
    const Tables& tables = GetTables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = in + bytes.size();
    while (in != end) {
        // Runs of ASCII, which decode to themselves, are widened sixteen bytes at a time: a page's tags and
        // much of a log are nothing else. The whole block is stored even when a run ends inside it; the
        // characters past the run are written again below, and out has room for one per byte left.
#ifdef __SSE2__
        const __m128i zero = _mm_setzero_si128();
        while (end - in >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
            const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
            const int ascii = high == 0 ? 16 : std::countr_zero(high);
            in += ascii;
            out += ascii;
            if (high != 0) {
                break;
            }
        }
#endif
        while (end - in >= 8) {
            std::uint64_t word;
            std::memcpy(&word, in, sizeof word);
            if (word & 0x8080808080808080ULL) {
                break;
            }
            for (int index = 0; index < 8; ++index) {
                out[index] = in[index];
            }
            in += 8;
            out += 8;
        }
        if (in == end) {
            break;
        }
        // Then one character, and the run of others up to the next ASCII byte that no lead takes as trail.
        // A lead byte is never a character alone, so a pair is tried first: most of a Japanese log is pairs.
        do {
            const unsigned char byte = *in++;
            if (tables.isLead[byte] && in != end) {
                if (const char16_t pair = tables.pairs[byte * 256 + *in]; pair != NoCharacter) {
                    *out++ = pair;
                    ++in;
                    continue;
                }
            }
            const char16_t character = tables.single[byte];
            *out++ = character != NoCharacter ? character : static_cast<char16_t>(RawByteBase + byte);
        } while (in != end && *in >= 0x80);
    }
    return out;
}

EncodeResult Cp932Codec::Encode(std::u16string_view text, Unencodable policy) {
    EncodeResult result;
    result.failedAt = EncodeAppend(text, result.bytes, policy);
    return result;
}

std::optional<std::size_t> Cp932Codec::EncodeAppend(std::u16string_view text, std::string& bytes,
                                                    Unencodable policy) {
    const Tables& tables = GetTables();
    // Written through a pointer into a buffer sized for the worst case: appending byte by byte costs a
    // capacity check per byte on logs of a hundred megabytes.
    const std::size_t start = bytes.size();
    bytes.resize(start + text.size() * 2);
    char* out = bytes.data() + start;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint16_t code = tables.codes[text[i]];
        if (code <= 0xFF) {
            *out++ = static_cast<char>(code);
        } else if (code != NoCode) {
            if (i > 0) {
                code = tables.CodeAfter(text[i - 1], text[i], code);
            }
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        } else if (policy == Unencodable::Fail) {
            bytes.resize(static_cast<std::size_t>(out - bytes.data()));
            return i;
        } else {
            char32_t codePoint = text[i];
            const bool pair = codePoint >= 0xD800 && codePoint < 0xDC00 && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
            if (pair) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[++i] - 0xDC00);
            }
            // A reference is longer than the two bytes reserved for it: finish it in the string itself.
            const std::size_t written = static_cast<std::size_t>(out - bytes.data());
            bytes.resize(written);
            AppendReference(bytes, codePoint);
            const std::size_t resumed = bytes.size();
            bytes.resize(resumed + (text.size() - i - 1) * 2);
            out = bytes.data() + resumed;
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return std::nullopt;
}

} // namespace parlowen
