#include "InstalledLayout.h"

#include <sys/stat.h>

namespace {

bool IsFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::string InstalledDataDir(const std::string& exeDir) {
    // The folder above exeDir: its name dropped where it has one, ".."
    // appended where it does not (empty, "." or "..").
    std::string folder = exeDir;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder == "/")
        return "/share/mavik/";  // the root is its own parent
    const std::size_t slash = folder.rfind('/');
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return (exeDir.empty() || exeDir.back() == '/' ? exeDir : exeDir + "/") + "../share/mavik/";
    return folder.substr(0, slash == std::string::npos ? 0 : slash + 1) + "share/mavik/";
}

std::string InfoTextPath(const std::string& exeDir) {
    const std::string beside = exeDir + "info.txt";
    if (IsFile(beside))
        return beside;
    const std::string installed = InstalledDataDir(exeDir) + "info.txt";
    return IsFile(installed) ? installed : beside;
}
