#pragma once

#include <string>

// The hidden files that outputs are written into before they replace the
// file of their name. All of them are listed here, so that a process told
// to end can remove every one at once.
namespace TemporaryFiles {

// Creates a new empty file beside path, under a hidden name derived from
// path's file name (".calls.txt.mavik-Xy3k9Q"), with permission bits mode
// (less the umask). Returns its descriptor and puts its name in tempPath.
// Throws IOError about path when it cannot be created.
int Create(const std::string& path, unsigned mode, std::string& tempPath);

// Renames the temporary over path. Throws IOError about path.
void Commit(const std::string& tempPath, const std::string& path);

// Removes the temporary; a failure to remove it is not reported.
void Discard(const std::string& tempPath);

// Removes every temporary and refuses new ones: the process is ending.
void RemoveAll();

}  // namespace TemporaryFiles
