#pragma once

#include "CommandLine.h"

#include <ostream>

namespace parlowen {

// Runs convert or html on each log in turn through the same dialogue the window runs, with the console's
// window operations; a log that fails is reported and the next one is still done.
class BatchRunner {
  public:
    BatchRunner(std::ostream& errors, bool errorsIsTerminal)
        : errors_(errors), errorsIsTerminal_(errorsIsTerminal) {}

    // ExitDone when every log was done, otherwise ExitFailed.
    int Run(const BatchRequest& request);

  private:
    bool RunOne(const BatchRequest& request, const QString& log);

    std::ostream& errors_;
    bool errorsIsTerminal_;
};

} // namespace parlowen
