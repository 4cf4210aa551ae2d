#include "BatchRunner.h"

#include "ArgumentText.h"
#include "ConsoleOperations.h"
#include "Dialogues.h"
#include "LogConverter.h"
#include "LogFiles.h"
#include "UserTexts.h"

namespace parlowen {

int BatchRunner::Run(const BatchRequest& request) {
    // As at the window's start, the rewrites that killed runs left are finished before any log is read.
    {
        ConsoleOperations console(errors_, false, {});
        RecoverJournals(console);
    }
    bool allDone = true;
    for (const QString& log : request.logs) {
        allDone = RunOne(request, log) && allDone;
    }
    return allDone ? ExitDone : ExitFailed;
}

bool BatchRunner::RunOne(const BatchRequest& request, const QString& log) {
    ConsoleOperations console(errors_, errorsIsTerminal_, log);
    const QByteArray path = QByteArray::fromStdString(ArgumentText::Encode(log));
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray nativeName = path.mid(slash + 1);
    // The window lists only .txt files; a batch over "*" must not rewrite anything else in place.
    if (!IsLogFileName(nativeName)) {
        console.ShowNotice(UserTexts::SelectTitle,
                           (u"「"_qs + log + u"」はログ（*.txt）ではありません。"_qs).toStdU16String());
        return false;
    }
    if (request.command == BatchCommand::Convert) {
        return RunConvertAndSave(
            console, ConvertRequest{path.toStdString(), log.toStdU16String(), request.answers, 0});
    }
    // The page's title is the name as the window shows it, so that a Shift-JIS file name gives the same page.
    const QByteArray pagePath = path.left(slash + 1) + PageFileName(nativeName);
    return ExportHtml(console, request.options,
                      ExportRequest{path.toStdString(), pagePath.toStdString(), log.toStdU16String(),
                                    PageBaseName(ShownFileName(nativeName)).toStdU16String(), request.answers,
                                    0});
}

} // namespace parlowen
