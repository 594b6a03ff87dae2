#pragma once

#include <string>

// Where an installed MAVIK keeps its data: the programs in <prefix>/bin/,
// the shared files in <prefix>/share/mavik/. Folders end in '/'.

// The shared-data folder of the installation whose programs are in exeDir,
// found from exeDir alone (it need not exist): "/usr/bin/" gives
// "/usr/share/mavik/".
std::string InstalledDataDir(const std::string& exeDir);

// The information text the version text opens: exeDir + "info.txt" when that
// file is there (a build folder, or a copy put next to the program); else the
// installed copy in InstalledDataDir(exeDir) when that one is there; else
// exeDir + "info.txt" all the same.
std::string InfoTextPath(const std::string& exeDir);
