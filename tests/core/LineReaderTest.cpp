#include "LineReader.h"

#include <gtest/gtest.h>

#include <random>
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

TEST(LineReader, SplitsAtCrAndCrLfOrAtLfWhenThereIsNoCr) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"A", {u"A"}},
        {u"A\r\nB\r\nC\r\n", {u"A", u"B", u"C"}},
        {u"A\r\nB", {u"A", u"B"}}, // last line without terminator
        {u"A\rB\r", {u"A", u"B"}}, // lone CR ends a line
        {u"A\nB\r\n", {u"A\nB"}},  // lone LF stays inside the line
        {u"\r\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"\r\r\n", {u"", u""}},   // CR, then CR LF
        {u"A\nB\n", {u"A", u"B"}}, // a log saved with LF alone
        {u"A\n\nB", {u"A", u"", u"B"}},
        {u"\n\n", {u"", u""}},
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

// Reading from the end gives the same lines in the opposite order, whatever mix of CR, LF and text.
TEST(ReverseByteLineReader, MatchesTheForwardReader) {
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::string text(random() % 12, 'a');
        for (char& character : text) {
            character = "a\r\n"[random() % 3];
        }
        std::vector<std::string_view> forward;
        ByteLineReader reader(text);
        std::string_view line;
        while (reader.Next(line)) {
            forward.push_back(line);
        }
        std::vector<std::string_view> backward;
        ReverseByteLineReader reverse(text);
        while (reverse.Previous(line)) {
            backward.insert(backward.begin(), line);
        }
        ASSERT_EQ(backward, forward) << testing::PrintToString(text);
        // So do the pieces of the text read from the last one, each with the whole text's line end.
        for (std::size_t pieceSize = 1; pieceSize <= 4; ++pieceSize) {
            std::vector<std::string_view> pieceLines;
            std::string joined;
            for (const std::string_view piece : SplitAtLineEnds(text, LineEndOf<char>(text), pieceSize)) {
                joined += piece;
                ReverseByteLineReader pieceReader(piece, LineEndOf<char>(text));
                const std::size_t at = pieceLines.size();
                while (pieceReader.Previous(line)) {
                    pieceLines.insert(pieceLines.begin() + static_cast<std::ptrdiff_t>(at), line);
                }
            }
            ASSERT_EQ(joined, text);
            ASSERT_EQ(pieceLines, forward) << testing::PrintToString(text) << " in pieces of " << pieceSize;
        }
    }
}

} // namespace
} // namespace parlowen
