// Command line: mavik-convert's parsing, with the arguments made from the
// input split at NUL bytes. Runs in an empty folder of its own.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FuzzCheck.h"

namespace {

const std::filesystem::path& Scratch() {
    static const ScratchFolder dir("mavik-fuzz-commandline");
    return dir.Path();
}

bool Empty(const std::filesystem::path& dir) {
    return std::filesystem::directory_iterator(dir) == std::filesystem::directory_iterator();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& dir = Scratch();
    std::vector<std::string> args;
    const std::string all(reinterpret_cast<const char*>(data), size);
    for (std::size_t begin = 0; begin <= all.size();) {
        std::size_t end = all.find('\0', begin);
        if (end == std::string::npos)
            end = all.size();
        args.push_back(all.substr(begin, end - begin));
        begin = end + 1;
    }
    if (size == 0)
        args.clear();

    // A usage error is reported as a UsageError (nothing else escapes) and
    // nothing is created.
    // Parsed in the scratch folder, whose emptiness afterwards is the check;
    // the fuzzer's own relative paths need the folder it started in back.
    const int home = open(".", O_RDONLY | O_DIRECTORY);
    FUZZ_CHECK(home >= 0 && chdir(dir.c_str()) == 0);
    CommandLine cl;
    std::vector<FileJob> jobs;
    bool usageError = false;
    try {
        cl = ParseCommandLine(args);
        if (!cl.Help && !cl.Version && !cl.Stats)
            jobs = PlanJobs(cl);
    } catch (const UsageError& e) {
        usageError = true;
        FUZZ_CHECK(*e.what() != '\0');
    }
    FUZZ_CHECK(fchdir(home) == 0);
    close(home);
    FUZZ_CHECK(Empty(dir));
    if (usageError || cl.Help || cl.Version)
        return 0;

    // What was accepted can be run: inputs named, conditions whole, one
    // output per input, none of them empty.
    FUZZ_CHECK(!cl.Inputs.empty());
    for (const std::string& input : cl.Inputs)
        FUZZ_CHECK(!input.empty());
    for (const SelectionCondition& c : cl.Where)
        FUZZ_CHECK(c.Field >= 1 && c.Field <= 14);
    FUZZ_CHECK(cl.Where.empty() || !cl.BinaryOutput);
    FUZZ_CHECK(!cl.Blocks || (cl.Blocks->First >= 1 && cl.Blocks->Count >= 0));
    if (cl.Stats)
        return 0;
    FUZZ_CHECK(jobs.size() == cl.Inputs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        FUZZ_CHECK(jobs[i].Input == cl.Inputs[i]);
        FUZZ_CHECK(!jobs[i].Output.empty());
    }
    return 0;
}
