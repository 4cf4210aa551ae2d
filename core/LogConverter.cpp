#include "LogConverter.h"

#include "Cp932Codec.h"
#include "LineReader.h"

#include <vector>

namespace parlowen {

ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, double total,
                         const std::function<void(std::int32_t, double)>& progress) {
    ConvertResult result;
    std::u16string text;
    result.status = ReadLogText(path, text);
    if (!result.status.Ok()) {
        return result;
    }
    // Collected first and joined back to front: putting each line in front of the text so far would copy
    // the whole text once per line.
    std::vector<std::u16string_view> kept;
    std::size_t size = 0;
    std::int32_t count = 0;
    LineReader reader(text);
    std::u16string_view line;
    while (reader.Next(line)) {
        const std::u16string_view cleaned = CleanLine(line, answers.RemoveSeparatorLines != VbFalse);
        if (answers.RemoveBlankLines == VbFalse || !cleaned.empty()) {
            kept.push_back(cleaned);
            size += cleaned.size() + 2;
        }
        ++count;
        if (progress) {
            progress(count, total);
        }
    }
    result.text.reserve(size);
    for (auto keptLine = kept.rbegin(); keptLine != kept.rend(); ++keptLine) {
        result.text += *keptLine;
        result.text += u"\r\n";
    }
    return result;
}

FileStatus WriteConvertedLog(const std::string& path, std::u16string_view convertedText) {
    std::string bytes;
    if (Cp932Codec::EncodeAppend(convertedText, bytes) || Cp932Codec::EncodeAppend(u"\r\n", bytes)) {
        return {FileStatus::Kind::Unencodable, 0};
    }
    return FileStore::Replace(path, bytes);
}

bool RunConvertAndSave(WindowOperations& window, const ConvertRequest& request) {
    constexpr char16_t title[] = u"Message:Log Change & Save";
    if (!window.AskOkCancel(title, u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\n"
                                   u"よろしいですか？")) {
        window.Beep();
        window.ShowNotice(title, u"処理は中断されました。");
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    // A log the user protected is refused before anything on the window changes.
    if (FileStatus writable = FileStore::CheckReplaceable(request.path); !writable.Ok()) {
        ShowWriteFailure(window, request.fileName, writable);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    window.SetBusy(true);
    window.SetCheckText({});
    ConvertResult result = ConvertLog(request.path, request.answers, request.loadedLineCount,
                                      [&window](std::int32_t count, double total) {
                                          window.SetLineCounter({static_cast<double>(count), total});
                                      });
    if (!result.status.Ok()) {
        window.SetBusy(false);
        ShowReadFailure(window, request.fileName, result.status);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    // The window shows the new order only once the file holds it too.
    if (FileStatus written = WriteConvertedLog(request.path, result.text); !written.Ok()) {
        window.SetBusy(false);
        ShowWriteFailure(window, request.fileName, written);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    window.SetCheckText(std::move(result.text));
    window.SetBusy(false);
    window.SetStateLabel(u"After", AfterColour);
    window.ShowNotice(u"Complete Massage", u"Text change complete!");
    window.MoveFocus(FocusTarget::File1);
    return true;
}

} // namespace parlowen
