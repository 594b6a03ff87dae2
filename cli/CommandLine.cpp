#include "CommandLine.h"

#include <stdexcept>

const char* const kUsage =
    "Usage: mavik-convert [options] INPUT [OUTPUT]\n"
    "Converts an S12 call-record file (2048-byte blocks of 34 records of 60 bytes)\n"
    "into text lines or recodes it between EBCDIC and ASCII.\n"
    "\n"
    "  -i, --input-type ebcdic|ascii     input code (default ebcdic)\n"
    "  -o, --output-type text|binary     output type (default text)\n"
    "  -r, --raw                         raw field lines instead of formatted lines (text output only)\n"
    "  -s, --separator TEXT              field separator for text output (default \"*\"; may be empty)\n"
    "  -t, --tab                         TAB as separator\n"
    "  -T, --tables DIR                  folder with \"ebcdic-ascii\" and \"ascii-ebcdic\" (default: current folder)\n"
    "      --stats                       print \"size=N blocks=N records=N\" for INPUT and exit\n"
    "  -q, --quiet                       no progress display\n"
    "  -h, --help                        this text\n"
    "      --version                     the version\n"
    "\n"
    "Without OUTPUT the name is INPUT without its extension plus \".txt\" (text),\n"
    "\".asc\" (EBCDIC to binary ASCII) or \".ebs\" (ASCII to binary EBCDIC).\n"
    "An existing OUTPUT is replaced. Exit status: 0 done, 1 I/O failure, 2 usage error.\n";

namespace {

struct Option {
    const char* shortName;
    const char* longName;
    bool takesValue;
};

constexpr Option kOptions[] = {
    {"-i", "--input-type", true}, {"-o", "--output-type", true}, {"-r", "--raw", false},
    {"-s", "--separator", true},  {"-t", "--tab", false},        {"-T", "--tables", true},
    {nullptr, "--stats", false},  {"-q", "--quiet", false},      {"-h", "--help", false},
    {nullptr, "--version", false},
};

const Option* FindOption(const std::string& name) {
    for (const Option& o : kOptions)
        if ((o.shortName && name == o.shortName) || name == o.longName)
            return &o;
    return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        }
        const Option* option = FindOption(arg);
        if (!option)
            throw std::invalid_argument("unknown option " + arg);
        if (option->takesValue && !value) {
            if (i + 1 >= args.size())
                throw std::invalid_argument("option " + arg + " needs a value");
            value = args[++i];
        } else if (!option->takesValue && value) {
            throw std::invalid_argument("option " + arg + " takes no value");
        }
        const std::string name = option->longName;
        if (name == "--input-type") {
            if (*value != "ebcdic" && *value != "ascii")
                throw std::invalid_argument("input type must be ebcdic or ascii, not \"" + *value + "\"");
            cl.AsciiInput = *value == "ascii";
        } else if (name == "--output-type") {
            if (*value != "text" && *value != "binary")
                throw std::invalid_argument("output type must be text or binary, not \"" + *value + "\"");
            cl.BinaryOutput = *value == "binary";
        } else if (name == "--raw") {
            cl.Raw = true;
        } else if (name == "--separator") {
            cl.Separator = *value;
        } else if (name == "--tab") {
            cl.Tab = true;
        } else if (name == "--tables") {
            cl.TablesFolder = *value;
        } else if (name == "--stats") {
            cl.Stats = true;
        } else if (name == "--quiet") {
            cl.Quiet = true;
        } else if (name == "--help") {
            cl.Help = true;
        } else if (name == "--version") {
            cl.Version = true;
        }
    }
    if (cl.Help || cl.Version)
        return cl;
    if (operands.empty())
        throw std::invalid_argument("no INPUT file given");
    if (operands.size() > (cl.Stats ? 1u : 2u))
        throw std::invalid_argument("too many files given");
    cl.Input = operands[0];
    if (operands.size() == 2)
        cl.Output = operands[1];
    if (cl.Input.empty())
        throw std::invalid_argument("INPUT is empty");
    if (cl.Output && cl.Output->empty())
        throw std::invalid_argument("OUTPUT is empty");
    return cl;
}
