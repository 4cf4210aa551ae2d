#include "LineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlowen {
namespace {

std::vector<std::u16string> Lines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    LineReader reader(text);
    std::u16string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(LineReader, SplitsAtCrAndCrLfOnly) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"A", {u"A"}},
        {u"A\r\nB\r\nC\r\n", {u"A", u"B", u"C"}},
        {u"A\r\nB", {u"A", u"B"}},                   // last line without terminator
        {u"A\rB\r", {u"A", u"B"}},                   // lone CR ends a line
        {u"A\nB\r\n", {u"A\nB"}},                    // lone LF stays inside the line
        {u"\r\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"\r\r\n", {u"", u""}},                      // CR, then CR LF
        {u"\n\n", {u"\n\n"}},
        {u"A\r\n\r\nB", {u"A", u"", u"B"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Lines(c.text), c.lines);
        // The file's bytes split the same way as its decoded text.
        std::string bytes(c.text.begin(), c.text.end());
        std::vector<std::u16string> byteLines;
        ByteLineReader reader(bytes);
        std::string_view line;
        while (reader.Next(line)) {
            byteLines.emplace_back(line.begin(), line.end());
        }
        EXPECT_EQ(byteLines, c.lines);
    }
}

} // namespace
} // namespace parlowen
