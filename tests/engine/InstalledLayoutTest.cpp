#include <gtest/gtest.h>

#include <filesystem>

#include "InstalledLayout.h"
#include "TestFiles.h"

namespace {

struct FolderCase {
    const char* exeDir;
    const char* dataDir;
};

void PrintTo(const FolderCase& c, std::ostream* out) { *out << '"' << c.exeDir << '"'; }

class InstalledDataDirTest : public testing::TestWithParam<FolderCase> {};

TEST_P(InstalledDataDirTest, IsShareMavikBesideTheProgramsFolder) {
    EXPECT_EQ(InstalledDataDir(GetParam().exeDir), GetParam().dataDir);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, InstalledDataDirTest,
    testing::Values(FolderCase{"/usr/bin/", "/usr/share/mavik/"},
                    FolderCase{"/opt/mavik/bin/", "/opt/mavik/share/mavik/"},
                    FolderCase{"/usr/bin", "/usr/share/mavik/"},
                    FolderCase{"/usr/bin//", "/usr/share/mavik/"},
                    FolderCase{"/bin/", "/share/mavik/"},
                    FolderCase{"/", "/share/mavik/"},
                    FolderCase{"bin/", "share/mavik/"},
                    FolderCase{"", "../share/mavik/"},
                    FolderCase{"./", "./../share/mavik/"},
                    FolderCase{"/p/x/../", "/p/x/../../share/mavik/"}));

// An installed tree in a temporary folder: P/bin/ and P/share/mavik/.
class InfoTextPathTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(prefix.Path() / "bin");
        std::filesystem::create_directories(prefix.Path() / "share/mavik");
    }
    std::string Bin() const { return prefix / "bin/"; }
    std::string Beside() const { return prefix / "bin/info.txt"; }
    std::string Installed() const { return prefix / "share/mavik/info.txt"; }

    TempDir prefix;
};

TEST_F(InfoTextPathTest, PrefersTheCopyBesideTheProgram) {
    WriteFile(Beside(), ToBytes("beside"));
    WriteFile(Installed(), ToBytes("installed"));
    EXPECT_EQ(InfoTextPath(Bin()), Beside());
}

TEST_F(InfoTextPathTest, FallsBackToTheInstalledCopy) {
    WriteFile(Installed(), ToBytes("installed"));
    EXPECT_EQ(InfoTextPath(Bin()), Installed());
}

TEST_F(InfoTextPathTest, AFolderNamedInfoTxtIsNotTheText) {
    std::filesystem::create_directory(Beside());
    WriteFile(Installed(), ToBytes("installed"));
    EXPECT_EQ(InfoTextPath(Bin()), Installed());
}

TEST_F(InfoTextPathTest, NamesTheCopyBesideTheProgramWhenNeitherIsThere) {
    EXPECT_EQ(InfoTextPath(Bin()), Beside());
}

}  // namespace
