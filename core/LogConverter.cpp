#include "LogConverter.h"

#include "Cp932Codec.h"
#include "LineReader.h"
#include "MappedFile.h"
#include "Prefault.h"

#include <algorithm>

namespace parlowen {

ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, double total,
                         const std::function<void(std::int32_t, double)>& progress) {
    ConvertResult result;
    MappedFile log;
    result.status = MappedFile::Open(path, log);
    if (!result.status.Ok()) {
        return result;
    }
    const std::string_view bytes = log.Bytes();
    // Reading the lines from the last one writes the new order front to back in one pass; putting each line
    // in front of the text so far would copy the whole text once per line. Every line grows by at most one
    // byte (a lone CR, or LF in a log without CR, becomes CR LF), and the extra CR LF of the file needs two
    // more.
    const auto terminators =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), LineEndOf<char>(bytes)));
    ReserveWritable(result.bytes, bytes.size() + terminators + 3);
    std::int32_t count = 0;
    ReverseByteLineReader reader(bytes);
    std::string_view line;
    while (reader.Previous(line)) {
        const std::string_view cleaned = CleanLine(line, answers.EmptiesSeparators());
        if (!answers.DropsBlankLines() || !cleaned.empty()) {
            result.bytes += cleaned;
            result.bytes += "\r\n";
        }
        ++count;
        if (progress) {
            progress(count, total);
        }
    }
    return result;
}

FileStatus WriteConvertedLog(const std::string& path, std::string& convertedBytes) {
    convertedBytes += "\r\n";
    FileStatus status = FileStore::Replace(path, convertedBytes);
    convertedBytes.resize(convertedBytes.size() - 2);
    return status;
}

bool RunConvertAndSave(WindowOperations& window, const ConvertRequest& request) {
    constexpr char16_t title[] = u"Message:Log Change & Save";
    if (!window.AskOkCancel(
            title, u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\n"
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
    if (FileStatus written = WriteConvertedLog(request.path, result.bytes); !written.Ok()) {
        window.SetBusy(false);
        ShowWriteFailure(window, request.fileName, written);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    window.SetCheckText(Cp932Codec::Decode(result.bytes));
    window.SetBusy(false);
    window.SetStateLabel(u"After", AfterColour);
    window.ShowNotice(u"Complete Massage", u"Text change complete!");
    window.MoveFocus(FocusTarget::File1);
    return true;
}

} // namespace parlowen
