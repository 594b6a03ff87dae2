#include "CommandLine.h"

#include "FileAccess.h"

#include <CLI/CLI.hpp>

#include <map>

#include "ConversionMode.h"
#include "TableCharset.h"

namespace {

// The options, in the order --help lists them. A new option is one entry
// here and one field in CommandLine.
void AddOptions(CLI::App& app, CommandLine& cl, std::string& inputType, std::string& outputType,
                std::string& separator, std::vector<std::string>& operands, std::vector<std::string>& where,
                std::string& blocks) {
    const auto oneOf = [](const char* what, std::vector<std::string> words) {
        return CLI::Validator(
            [what, words](std::string& value) -> std::string {
                for (const std::string& w : words)
                    if (value == w)
                        return {};
                std::string choices;
                for (std::size_t i = 0; i < words.size(); ++i)
                    choices += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
                return std::string(what) + " must be " + choices + ", not \"" + value + "\"";
            },
            "");
    };
    app.add_option("-i,--input-type", inputType, "input code (default ebcdic)")
        ->option_text("ebcdic|ascii")
        ->check(oneOf("input type", {"ebcdic", "ascii"}));
    app.add_option("-o,--output-type", outputType, "output type (default text)")
        ->option_text("text|binary|csv")
        ->check(oneOf("output type", {"text", "binary", "csv"}));
    app.add_flag("-r,--raw", cl.Raw, "raw field lines, not formatted ones");
    app.add_option("-s,--separator", separator,
                   "text separator (default \"*\"; may be empty)")
        ->option_text("TEXT");
    app.add_flag("-t,--tab", cl.Tab, "TAB as separator");
    app.add_option("-T,--tables", cl.TablesFolder,
                   "folder of the code tables and field-names")
        ->option_text("DIR");
    app.add_option("--charset", cl.CharsetName,
                   "the tables' character set when they do not say it: windows-1251 or ISO-8859-1")
        ->option_text("NAME");
    app.add_option("-d,--output-dir", cl.OutputDir,
                   "outputs go into DIR (made when missing)")
        ->option_text("DIR");
    app.add_flag("--last-dot", cl.LastDot,
                 "output names cut at the last \".\", not the first");
    app.add_option("-j,--jobs", cl.Jobs,
                   "files at once (default: processors)")
        ->option_text("N")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                    value.size() > 6 || std::stoul(value) == 0)
                    return "must be a whole number from 1, not \"" + value + "\"";
                return {};
            },
            ""));
    app.add_option("-w,--where", where,
                   "only records where COND holds (repeatable)")
        ->option_text("COND")
        ->expected(1)  // one condition each time, so a file name after it stays a file
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--blocks", blocks,
                   "only blocks FIRST to FIRST+COUNT-1 (from 1)")
        ->option_text("FIRST:COUNT");
    app.add_flag("--piece-header", cl.PieceHeader,
                 "CSV header on every --blocks piece");
    app.add_flag("--stats", cl.Stats,
                 "print size, blocks, records; no output");
    app.add_flag("-q,--quiet", cl.Quiet, "no progress line, no summary");
    app.add_flag("--strict", cl.Strict, "an input unlike call records of -i's code fails");
    app.add_flag("--version", cl.Version, "the version");
    app.add_option("files", operands, "INPUT [OUTPUT], or INPUT... with -d or --stats")
        ->option_text("FILE...");
}

// "--separator=" must mean an empty separator. CLI11 reads an empty value
// after "=" as no value and takes the next argument instead, which would
// turn the input file into the separator; so it gets the empty value as
// an argument of its own.
std::vector<std::string> SplitEmptyValues(const std::vector<std::string>& args) {
    std::vector<std::string> split;
    bool options = true;
    for (const std::string& arg : args) {
        if (arg == "--")
            options = false;
        if (options && arg.size() > 3 && arg.starts_with("--") && arg.find('=') == arg.size() - 1) {
            split.push_back(arg.substr(0, arg.size() - 1));
            split.emplace_back();
        } else {
            split.push_back(arg);
        }
    }
    return split;
}

// FIRST:COUNT, FIRST from 1 and COUNT from 0: an empty range makes an empty
// piece, so that a split into more pieces than blocks still joins. Twelve
// digits each hold any file (a petabyte has 5e11 blocks) and keep
// FIRST+COUNT far from overflowing.
BlockRange ParseBlockRange(const std::string& text) {
    const auto number = [](const std::string& digits) -> std::int64_t {
        if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string::npos)
            return -1;
        return std::stoll(digits);
    };
    const std::size_t colon = text.find(':');
    const std::int64_t first = colon == std::string::npos ? -1 : number(text.substr(0, colon));
    const std::int64_t count = colon == std::string::npos ? -1 : number(text.substr(colon + 1));
    if (first < 1 || count < 0)
        throw UsageError("--blocks must be FIRST:COUNT, whole numbers, FIRST from 1 (blocks counted from 1) "
                         "and COUNT from 0, not \"" + text + "\"");
    return {first, count};
}

}  // namespace

std::string UsageText() {
    CommandLine cl;
    std::string inputType, outputType, separator, blocks;
    std::vector<std::string> operands, where;
    CLI::App app;
    app.name("mavik-convert");
    app.set_help_flag("-h,--help", "this text");
    AddOptions(app, cl, inputType, outputType, separator, operands, where, blocks);
    CLI::Formatter formatter;
    formatter.column_width(32);
    return "Usage: mavik-convert [options] INPUT [OUTPUT]\n"
           "       mavik-convert [options] -d DIR INPUT...\n"
           "       mavik-convert --stats INPUT...\n"
           "Converts an S12 call-record file (2048-byte blocks of 34 records of 60 bytes)\n"
           "into text lines or recodes it between EBCDIC and ASCII.\n" +
           formatter.make_groups(&app, CLI::AppFormatMode::Normal) +
           "-s and -w are taken as UTF-8 and used in the tables' character set, which the\n"
           "CSV is decoded from: a file \"charset\" beside them names it (windows-1251 or\n"
           "ISO-8859-1); the two pairs MAVIK ships are known without one; else --charset;\n"
           "else windows-1251, with a warning.\n"
           "-w COND is N OP VALUE: field N (1-14) compared as text with VALUE (the rest,\n"
           "blanks included), OP one of = != < <= > >= ^= (starts with) *= (contains).\n"
           "Field 13 is its 8 hex digits. A value may be written as a formatted line shows\n"
           "it: 5=07/12 is 5=0712, 6>=12:00:00 6>=120000, 13^=2B41H 13^=2B41, and a blank\n"
           "in fields 3 and 4 stands for F. A value must fit its field: a date MMDD, a time\n"
           "hhmmss, 8 hex digits, digits (F too in 3 and 4); ^= and *= take a part of one.\n"
           "All conditions must hold; text and CSV only.\n"
           "-o csv writes RFC 4180 CSV in UTF-8: block,record and the 14 field values of\n"
           "every record (type F too). A file \"field-names\" of 14 lines beside the tables\n"
           "names the fields in its header. Without -T the tables are those of the current\n"
           "folder, else the installed defaults.\n"
           "With -d each INPUT's output goes into DIR under the name below.\n"
           "--stats prints \"size=N blocks=N records=N\"; for several INPUTs \"FILE: \" first.\n"
           "--blocks converts whole blocks FIRST to FIRST+COUNT-1 of each INPUT; the outputs\n"
           "of consecutive ranges joined in order are the whole file's output. A range past\n"
           "the end fails that INPUT. With --stats it counts those blocks only.\n"
           "A CSV piece has the header only when it starts at block 1, so that the pieces\n"
           "join; --piece-header gives every piece the header, to be loaded on its own.\n"
           "INPUT \"-\" is standard input, OUTPUT \"-\" standard output; INPUT \"-\" without\n"
           "OUTPUT writes standard output.\n"
           "Without OUTPUT the output name is INPUT cut at the first \".\" of its file name\n"
           "(\"calls.2024.cdr\" gives \"calls\"), plus \".txt\" (text), \".asc\" (EBCDIC to binary\n"
           "ASCII), \".ebs\" (ASCII to binary EBCDIC) or \".csv\"; with -d it is that name in DIR.\n"
           "--last-dot cuts at the last \".\" instead: \"sw1.20240712.cdr\" gives \"sw1.20240712\",\n"
           "so that a day's files of dated names go into one DIR.\n"
           "An existing OUTPUT is replaced only when its conversion succeeded.\n"
           "Exit status: 0 done, 1 a file failed, 2 usage error.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::function<Charset(const CommandLine&)>& charsetOf) {
    CommandLine cl;
    std::string inputType = "ebcdic", outputType = "text", separator, blocks;
    std::vector<std::string> operands, where;
    CLI::App app;
    app.name("mavik-convert");
    app.set_help_flag();  // --help is ours, so that it needs no INPUT either
    app.add_flag("-h,--help", cl.Help, "this text");
    // "/x" is a path, also on Windows, where CLI11 would read it as an option.
    app.allow_windows_style_options(false);
    // Repeated options: the last one counts.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    AddOptions(app, cl, inputType, outputType, separator, operands, where, blocks);
    std::vector<std::string> reversed;  // CLI11 takes them last first
    for (const std::string& arg : SplitEmptyValues(args))
        reversed.insert(reversed.begin(), arg);
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        throw UsageError(e.what());
    }
    if (cl.Help || cl.Version)
        return cl;

    cl.AsciiInput = inputType == "ascii";
    cl.BinaryOutput = outputType == "binary";
    cl.CsvOutput = outputType == "csv";
    if (app.count("--charset")) {
        try {
            cl.TextCharset = EightBitCharsetNamed(cl.CharsetName);
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("--charset: ") + e.what());
        }
    } else if (charsetOf && !cl.Stats) {  // --stats reads no text
        cl.TextCharset = charsetOf(cl);
    }
    if (app.count("--separator")) {
        cl.SeparatorGiven = true;
        try {
            cl.Separator = Utf8ToCharset(cl.TextCharset, separator);
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("separator: ") + e.what());
        }
    }

    // Taken last first, like every option: put the conditions back in order.
    for (auto it = where.rbegin(); it != where.rend(); ++it) {
        try {
            cl.Where.push_back(ParseCondition(Utf8ToCharset(cl.TextCharset, *it)));
            CheckCondition(cl.Where.back());
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("--where: ") + e.what());
        }
    }
    if (!cl.Where.empty() && cl.BinaryOutput)
        throw UsageError("--where selects records of a text output; it does not go with -o binary");

    if (app.count("--blocks"))
        cl.Blocks = ParseBlockRange(blocks);
    if (cl.PieceHeader && !cl.CsvOutput)
        throw UsageError("--piece-header writes a CSV header; it goes with -o csv only");

    if (operands.empty())
        throw UsageError("no INPUT file given");
    for (const std::string& f : operands)
        if (f.empty())
            throw UsageError("a file name is empty");
    if (cl.OutputDir && cl.OutputDir->empty())
        throw UsageError("DIR is empty");
    if (cl.Stats) {
        if (cl.OutputDir)
            throw UsageError("--stats writes no output; -d does not go with it");
        cl.Inputs = operands;
    } else if (cl.OutputDir) {
        for (const std::string& f : operands)
            if (f == kStandardStream)
                throw UsageError("standard input (\"-\") does not go with -d");
        cl.Inputs = operands;
    } else {
        if (operands.size() > 2)
            throw UsageError("too many files given (several inputs need -d DIR)");
        cl.Inputs = {operands[0]};
        if (operands.size() == 2)
            cl.Output = operands[1];
    }
    return cl;
}

std::vector<FileJob> PlanJobs(const CommandLine& cl) {
    const int mode = cl.ConversionMode();
    std::vector<FileJob> jobs;
    if (!cl.OutputDir) {
        const std::string& input = cl.Inputs.front();
        std::string output;
        if (cl.Output)
            output = *cl.Output;
        else if (input == kStandardStream)
            output = kStandardStream;
        else
            output = *DeriveOutputName(input, mode, cl.LastDot ? NameCut::LastDot : NameCut::FirstDot);
        jobs.push_back({input, output});
        return jobs;
    }
    std::map<std::string, std::string> taken;  // output name -> the input that gives it
    std::string dir = *cl.OutputDir;
    if (dir.back() != '/')
        dir += '/';
    const auto nameOf = [mode](const std::string& input, NameCut cut) {
        const std::string derived = *DeriveOutputName(input, mode, cut);
        return derived.substr(fileaccess::FileNameStart(derived));
    };
    const NameCut cut = cl.LastDot ? NameCut::LastDot : NameCut::FirstDot;
    for (const std::string& input : cl.Inputs) {
        const std::string name = nameOf(input, cut);
        const auto [it, fresh] = taken.emplace(name, input);
        if (!fresh) {
            std::string message = "\"" + it->second + "\" and \"" + input + "\" would both give " + dir + name;
            if (!cl.LastDot && nameOf(it->second, NameCut::LastDot) != nameOf(input, NameCut::LastDot))
                message += " (--last-dot cuts the names at their last \".\" and keeps them apart)";
            throw UsageError(message);
        }
        jobs.push_back({input, dir + name});
    }
    return jobs;
}
