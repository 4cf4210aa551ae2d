#pragma once

#include "FileStore.h"
#include "LogLoader.h"
#include "WindowOperations.h"

#include <cstdint>
#include <functional>
#include <string>

namespace parlowen {

struct ConvertResult {
    FileStatus status;
    // The kept lines in reverse file order, each followed by CR LF, as the log's own bytes: the lines are
    // moved, never re-encoded, so every byte of the log survives the rewrite as it was.
    std::string bytes;
};

// Reads the log again and reverses its kept lines. progress gets the count of lines read so far (dropped
// lines included) and the total from the load.
ConvertResult ConvertLog(const std::string& path, const LoadAnswers& answers, double total,
                         const std::function<void(std::int32_t, double)>& progress);

// The rewritten log: the converted lines and one more CR LF, replacing the file only once it is complete.
FileStatus WriteConvertedLog(const std::string& path, std::string& convertedBytes);

struct ConvertRequest {
    std::string path;
    std::u16string fileName; // for the notices
    LoadAnswers answers;
    double loadedLineCount = 0;
};

// The whole of "変換して保存": the warning, the conversion with its counter, the write and the notices.
// Returns true when the log was rewritten.
bool RunConvertAndSave(WindowOperations& window, const ConvertRequest& request);

} // namespace parlowen
