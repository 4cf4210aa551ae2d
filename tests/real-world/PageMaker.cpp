// Writes the page of one log with the program's own export, for the browser test of scripts/test-real-world.
//
//   PageMaker LOG PAGE TITLE [--remove-blank] [--remove-separators] [--page COLOUR] [--emphasis]
//             [--entry KEYWORD COLOUR] [--speaker INDEX KEYWORD COLOUR]...
//
// TITLE and the keywords are given in Shift-JIS, as the log is; colours are colour texts such as
// "255,00,00". The options stand for what the main window holds when "HTMLにして保存" is pressed.
#include "ColorTable.h"
#include "Cp932Codec.h"
#include "Dialogues.h"
#include "HtmlExporter.h"
#include "WindowOperations.h"

#include <array>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace parlowen;

// For messages on a terminal, which reads UTF-8.
std::string ToUtf8(std::u16string_view text) {
    std::string bytes;
    for (std::size_t index = 0; index < text.size(); ++index) {
        char32_t code = text[index];
        if (code >= 0xD800 && code < 0xDC00 && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
            text[index + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++index] - 0xDC00);
        }
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

// The export talks to the user only through these. It asks nothing; its notices are printed only when it
// fails, since they then say why.
class QuietWindow : public WindowOperations {
  public:
    bool AskOkCancel(std::u16string_view title, std::u16string_view) override {
        throw std::logic_error("the export asked a question: " + ToUtf8(title));
    }
    void ShowNotice(std::u16string_view title, std::u16string_view text) override {
        notices += ToUtf8(title) + ": " + ToUtf8(text) + '\n';
    }
    void Beep() override {}
    void SetBusy(bool) override {}
    void SetStateLabel(std::u16string_view, Rgb) override {}
    void SetLineCounter(const LineCount&) override {}
    void SetCheckText(std::u16string) override {}
    void MoveFocus(FocusTarget) override {}

    std::string notices;
};

struct Arguments {
    std::vector<std::string> words;
    std::size_t next = 0;

    bool More() const { return next < words.size(); }
    const std::string& Take(const char* what) {
        if (!More()) {
            throw std::invalid_argument(std::string("missing ") + what);
        }
        return words[next++];
    }
    std::u16string TakeText(const char* what) { return Cp932Codec::Decode(Take(what)); }
};

int Run(Arguments arguments) {
    ExportRequest request;
    request.logPath = arguments.Take("LOG");
    request.pagePath = arguments.Take("PAGE");
    request.baseName = arguments.TakeText("TITLE");
    request.fileName = request.baseName + u".txt";

    ColorTable colors;
    colors.Reset();
    bool emphasis = false;
    std::u16string entryKeyword;
    std::array<std::u16string, ColorTable::SpeakerCount> speakerKeywords;
    while (arguments.More()) {
        const std::string option = arguments.Take("an option");
        if (option == "--remove-blank") {
            request.answers.removeBlankLines = true;
        } else if (option == "--remove-separators") {
            request.answers.removeSeparatorLines = true;
        } else if (option == "--emphasis") {
            emphasis = true;
        } else if (option == "--page") {
            colors.Set(ColorTable::PageSlot, arguments.TakeText("COLOUR"));
        } else if (option == "--entry") {
            entryKeyword = arguments.TakeText("KEYWORD");
            colors.Set(ColorTable::EntrySlot, arguments.TakeText("COLOUR"));
        } else if (option == "--speaker") {
            const std::size_t index = std::stoul(arguments.Take("INDEX"));
            if (index >= ColorTable::SpeakerCount) {
                throw std::invalid_argument("speaker index out of range: " + std::to_string(index));
            }
            speakerKeywords[index] = arguments.TakeText("KEYWORD");
            colors.Set(ColorTable::SpeakerSlot(index), arguments.TakeText("COLOUR"));
        } else {
            throw std::invalid_argument("unknown option " + option);
        }
    }

    QuietWindow window;
    if (!ExportHtml(window, MakeHtmlOptions(colors, emphasis, entryKeyword, speakerKeywords), request)) {
        std::cerr << "PageMaker: the export failed\n" << window.notices;
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[]) {
    try {
        return Run(Arguments{std::vector<std::string>(argv + 1, argv + argc)});
    } catch (const std::exception& error) {
        std::cerr << "PageMaker: " << error.what() << '\n';
        return EXIT_FAILURE;
    }
}
