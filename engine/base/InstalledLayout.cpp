#include "InstalledLayout.h"

#include <string_view>

#include "FileAccess.h"

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

bool IsSeparator(char c) { return std::string_view(kSeparators).find(c) != std::string_view::npos; }

bool IsFile(const std::string& path) {
    fileaccess::FileInfo info;
    return fileaccess::StatPath(path, info) && info.Regular;
}

}  // namespace

std::string InstalledDataDir(const std::string& exeDir) {
    // The folder above exeDir: its name dropped where it has one, ".."
    // appended where it does not (empty, "." or "..").
    std::string folder = exeDir;
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    if (folder.size() == 1 && IsSeparator(folder[0]))
        return folder + "share/mavik/";  // the root is its own parent
    const std::size_t slash = folder.find_last_of(kSeparators);
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return (exeDir.empty() || IsSeparator(exeDir.back()) ? exeDir : exeDir + "/") +
               "../share/mavik/";
    return folder.substr(0, slash == std::string::npos ? 0 : slash + 1) + "share/mavik/";
}

std::string InfoTextPath(const std::string& exeDir) {
    const std::string beside = exeDir + "info.txt";
    if (IsFile(beside))
        return beside;
    const std::string installed = InstalledDataDir(exeDir) + "info.txt";
    return IsFile(installed) ? installed : beside;
}
