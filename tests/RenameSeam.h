#pragma once

// A link seam for the tests that kill a write at its most delicate moment: a test program linked with
// RenameSeam.cpp has its own rename(), which comes before the C library's.

// From now on, the process stops itself (SIGSTOP) when the temporary file is complete and the rename has not
// yet happened. Meant for a child process that its parent then kills.
void StopBeforeRename();
