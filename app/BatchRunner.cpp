#include "BatchRunner.h"

#include "ArgumentText.h"
#include "ConsoleOperations.h"
#include "LogConverter.h"
#include "LogFiles.h"

namespace parlowen {

int BatchRunner::Run(const BatchRequest& request) {
    bool allDone = true;
    for (const QString& log : request.logs) {
        allDone = RunOne(request, log) && allDone;
    }
    return allDone ? ExitDone : ExitFailed;
}

bool BatchRunner::RunOne(const BatchRequest& request, const QString& log) {
    ConsoleOperations console(errors_, errorsIsTerminal_, log);
    const QString fileName = log.section(u'/', -1);
    // The window lists only .txt files; a batch over "*" must not rewrite anything else in place.
    if (!IsLogFileName(fileName)) {
        console.ShowNotice(NotALogTitle,
                           (u"「"_qs + log + u"」はログ（*.txt）ではありません。"_qs).toStdU16String());
        return false;
    }
    const std::string path = ArgumentText::Encode(log);
    if (request.command == BatchCommand::Convert) {
        return RunConvertAndSave(console, ConvertRequest{path, log.toStdU16String(), request.answers, 0});
    }
    const QString baseName = PageBaseName(fileName);
    return ExportHtml(console, request.options,
                      ExportRequest{path, ArgumentText::Encode(PageBaseName(log) + QStringLiteral(".html")),
                                    log.toStdU16String(), baseName.toStdU16String(), request.answers, 0});
}

} // namespace parlowen
