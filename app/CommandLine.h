#pragma once

#include "HtmlExporter.h"
#include "LogLoader.h"

#include <QString>
#include <QStringList>

#include <ostream>

namespace parlowen {

// Exit statuses of the commands without a window.
inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1; // a log was refused or could not be read or written
inline constexpr int ExitUsage = 2;

enum class BatchCommand { Convert, Html };

// What the window would be given for each log: the answers of the load, the export options, and the logs.
struct BatchRequest {
    BatchCommand command = BatchCommand::Convert;
    LoadAnswers answers;
    HtmlOptions options;
    EncodingChoice encoding = EncodingChoice::Auto;
    QStringList logs; // as given, in ArgumentText's form
};

struct CommandLineRequest {
    enum class Action { Window, Batch, Help, Version, UsageError };
    Action action = Action::Window;
    QString windowPath; // Window: the folder or log to list, or empty
    BatchRequest batch;
    QString text; // Help and Version: what to print; UsageError: what is wrong
};

// parlowen [PATH] | parlowen convert|html [OPTIONS] LOG... | --help | --version
class CommandLine {
  public:
    static constexpr char ConvertCommand[] = "convert";
    static constexpr char HtmlCommand[] = "html";

    // Whether the arguments (the program first) ask for something other than the window, so that no display
    // may be needed. A QCoreApplication must exist before Parse is called for them.
    static bool IsWindowless(const QStringList& arguments);
    static CommandLineRequest Parse(const QStringList& arguments);
    // Runs what Parse found for a windowless command line; returns the exit status.
    static int Run(const CommandLineRequest& request, std::ostream& output, std::ostream& errors,
                   bool errorsIsTerminal);
};

} // namespace parlowen
