#include "ConsoleOperations.h"

#include "ArgumentText.h"
#include "UserTexts.h"

namespace parlowen {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ConsoleOperations::ConsoleOperations(std::ostream& errors, bool showProgress, QString log)
    : errors_(errors), showProgress_(showProgress), log_(std::move(log)) {
    sinceStart_.start();
}

ConsoleOperations::~ConsoleOperations() {
    ClearProgress();
}

bool ConsoleOperations::AskOkCancel(std::u16string_view, std::u16string_view) {
    // Naming the command and its options on the command line is the answer.
    return true;
}

void ConsoleOperations::ShowNotice(std::u16string_view title, std::u16string_view text) {
    // Only failures and a finished rewrite of a killed run are worth a line: the redo changed a file the
    // command was not asked about. The window's other notices announce what the command already says.
    const bool failure = title.starts_with(u"Err:");
    if (!failure && !text.ends_with(UserTexts::RecoveryRedone)) {
        return;
    }
    ClearProgress();
    showedFailure_ = showedFailure_ || failure;
    QString message = ToQString(title) + QStringLiteral(": ") + ToQString(text);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    errors_ << ArgumentText::Encode(message) << '\n' << std::flush;
}

void ConsoleOperations::SetBusy(bool on) {
    if (!on) {
        ClearProgress();
    }
}

void ConsoleOperations::SetLineCounter(const LineCount& lineCount) {
    if (!showProgress_ || sinceStart_.elapsed() < ProgressDelayMilliseconds ||
        (sinceProgress_.isValid() && sinceProgress_.elapsed() < ProgressRepaintMilliseconds)) {
        return;
    }
    sinceProgress_.start();
    progressShown_ = true;
    // The command has no load, so there is no total to show: the count alone, as while loading.
    const QString line =
        log_ + QStringLiteral(": ") + QString::fromStdU16String(CounterText({lineCount.count, std::nullopt}));
    errors_ << "\r\033[K" << ArgumentText::Encode(line) << std::flush;
}

void ConsoleOperations::ClearProgress() {
    if (progressShown_) {
        progressShown_ = false;
        errors_ << "\r\033[K" << std::flush;
    }
}

} // namespace parlowen
