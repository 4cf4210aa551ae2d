#pragma once

// A link seam for the tests that kill a write at its most delicate moments: a test program linked with
// RenameSeam.cpp has its own rename(), renameat(), renameat2(), write(), pwrite(), fsync(), ftruncate(),
// unlink() and unlinkat(), which come before the C library's and only add a stop when a test asks for one,
// and its own opendir(), which counts the listings of each folder.

#include <string>

enum class SeamCall { Rename, Write, PositionedWrite, Sync, Truncate, Unlink };

// From now on, the process stops itself (SIGSTOP) when the temporary file is complete and the rename has not
// yet happened. Meant for a child process that its parent then kills.
void StopBeforeRename();

// The process stops itself just before its occurrence-th call of the given kind from now on (1 is the next).
void StopBefore(SeamCall call, int occurrence);

// How many times this process has opened the folder at exactly this path for listing.
int FolderListings(const std::string& folder);
