#include "cli/CliOptions.h"

#include "io/PictureFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <tuple>

namespace {

constexpr const char* kDescription =
    "Solves nonogram clue files with line logic, or completely with --complete, --unique or\n"
    "--max-solutions.\n"
    "Exit status: 0 every file solved; otherwise the largest of 1 refused, 2 incomplete,\n"
    "3 no solution, 4 a file could not be read, was refused by the reader, or could not\n"
    "be written, 5 stopped by --timeout, 6 more than one solution (--unique, --max-solutions),\n"
    "7 the solution differs from the file's goal (--check-goal); 64 bad usage; 130 interrupted\n"
    "(Ctrl+C stops the solves under way, as --timeout does; a second Ctrl+C ends at once).\n"
    "Formats: .tb, .non and webpbn XML (.xml, .pbn; black and white, the first puzzle of a\n"
    "set), and the plain layout with a \"#\" line.\n"
    "--rate prints \"FILE: CLASS SCORE\" on stdout: CLASS is line (line logic alone), probing,\n"
    "search (unique, but needs a search), multiple or none, and unknown when --timeout or Ctrl+C\n"
    "stopped it; SCORE is the work that class needed (line: half-sweeps of line logic over the\n"
    "rows or the columns; probing: probes; search, multiple, none: search nodes). Exit status as\n"
    "--unique: 0 line, probing or search, 6 multiple, 3 none (1 refused), 5 unknown; a file\n"
    "that cannot be read gives \"FILE: unreadable\" (4).\n"
    "--json prints one JSON object per file on stdout, in input order: file, rows, columns,\n"
    "outcome, ms, solutions and nodes (complete solves), class and score (--rate; score null\n"
    "when unknown), note (why), grid and second_grid (--grid: rows of \" \", \"-\", \"X\"), goal\n"
    "(--check-goal: matches, differs, unsolved or none); a file that cannot be read gives\n"
    "outcome \"unreadable\" and error. Summary lines stay on stderr (-q drops them).";

// "AxB" with both sides in nMin..nMax, read exactly: no overflow wraps a
// huge number into range.
std::optional<std::pair<int, int>> ParseSize(std::string_view text, int nMin, int nMax) {
    const size_t nX = text.find('x');
    if (nX == std::string_view::npos)
        return std::nullopt;
    auto side = [nMin, nMax](std::string_view digits) -> std::optional<int> {
        int nValue = -1;
        const auto [pEnd, error] = std::from_chars(digits.data(), digits.data() + digits.size(), nValue);
        if (digits.empty() || error != std::errc() || pEnd != digits.data() + digits.size() || nValue < nMin ||
            nValue > nMax)
            return std::nullopt;
        return nValue;
    };
    const std::optional<int> a = side(text.substr(0, nX)), b = side(text.substr(nX + 1));
    if (!a || !b)
        return std::nullopt;
    return std::pair{*a, *b};
}

// The cell size of the whole picture, "WxH", each side 0..1000.
std::optional<std::pair<int, int>> ParseCellSize(std::string_view text) {
    return ParseSize(text, 0, 1000);
}

// Beyond this a time limit means nothing (about 115 days), and the clock's
// arithmetic would overflow.
constexpr double kMaxTimeoutSeconds = 1e7;

// Options that cannot go together, or nullptr. A rating works out its own
// solutions and writes no grid; the trace's lines would break the one JSON
// object a line.
const char* Clash(const CLI::App& app, const CliOptions& options) {
    if (options.bRate)
        for (const char* pszName : {"--complete", "--unique", "--max-solutions", "--trace", "--grid", "--save-text",
                                    "--save-bmp", "--save-all-bmp", "--export", "--check-goal"})
            if (app.count(pszName) > 0)
                return "--rate rates the clues and solves nothing: it takes no --complete, --unique, "
                       "--max-solutions, --trace, --grid, --save-text, --save-bmp, --save-all-bmp, --export or "
                       "--check-goal";
    if (options.bJson && options.bTrace)
        return "--json and --trace cannot go together: the trace is no JSON";
    return nullptr;
}

// Reads --size and --threshold for --from-image; the fault, or nullptr.
const char* ImageOptions(const CLI::App& app, CliOptions& options, const std::string& strSize,
                         const std::string& strThreshold) {
    if (options.strFromImage.empty()) {
        for (const char* pszName : {"--size", "--threshold", "--invert", "--output"})
            if (app.count(pszName) > 0)
                return "--size, --threshold, --invert and -o go with --from-image";
        return options.files.empty() ? "give a clue file to solve" : nullptr;
    }
    if (!options.files.empty())
        return "--from-image makes a puzzle from an image and solves nothing: give no FILE";
    const std::optional<std::pair<int, int>> size = ParseSize(strSize, 1, 32767);
    if (!size)
        return "--from-image needs --size ROWSxCOLS, each side 1 to 32767";
    std::tie(options.nImageRows, options.nImageCols) = *size;
    if (int64_t{options.nImageRows} * options.nImageCols > options.nMaxCells)
        return "--size asks for more cells than --max-cells allows";
    if (strThreshold != "auto") {
        int nValue = -1;
        const auto [pEnd, error] =
            std::from_chars(strThreshold.data(), strThreshold.data() + strThreshold.size(), nValue);
        if (error != std::errc() || pEnd != strThreshold.data() + strThreshold.size() || nValue < 0 || nValue > 255)
            return "--threshold takes a grey level from 0 to 255, or auto";
        options.nThreshold = nValue;
    }
    if (options.strImageOut.empty())
        options.strImageOut = options.strFromImage + ".tb";
    return nullptr;
}

} // namespace

std::optional<CliOptions> ParseCommandLine(int argc, char** argv, int& nExitStatus) {
    CliOptions options;
    CLI::App app(kDescription, "tabulon-cli");
    app.set_version_flag("--version", "tabulon-cli 5.0.0");
    app.add_option("FILE", options.files, "clue files to solve");
    app.add_flag("--trace", options.bTrace, "write the solver's trace lines (\"0\"/\"1\", one per pass) to stdout");
    app.add_flag("--grid", options.bGrid,
                 "after solving, write the grid to stdout as solution text (\" \" unknown, \"-\" empty, \"X\" filled)");
    app.add_flag("--save-text", options.bSaveText,
                 "write the solution text file next to the clue file (its path with \"r\" appended)");
    app.add_flag("--save-bmp", options.bSaveBmp,
                 "write the grid as a BMP, one pixel per cell, next to the clue file (\".bmp\" appended)");
    app.add_flag("--save-all-bmp", options.bSaveAllBmp,
                 "write the whole picture with clues and grid as a BMP next to the clue file (\"_all.bmp\" appended)");
    app.add_option("--export", options.strExport,
                   "write the whole picture to FILE as PNG, SVG, PDF or BMP, as its extension says (one puzzle)")
        ->type_name("FILE")
        ->check(CLI::Validator(
            [](std::string& value) {
                return PictureFormatOf(value) ? std::string()
                                              : "expected a file ending in .png, .svg, .pdf or .bmp, found " + value;
            },
            "FILE"));
    app.add_option("--from-image", options.strFromImage,
                   "make a puzzle from an image (PNG, JPEG, BMP, GIF...): scaled to --size by area averaging, "
                   "black and white at --threshold; written to -o (the image's path with \".tb\" appended), "
                   "in the format the name says, with the picture as its goal where the format keeps one")
        ->type_name("IMAGE");
    std::string strImageSize, strThreshold = "auto";
    app.add_option("--size", strImageSize, "the puzzle --from-image makes: ROWSxCOLS, each 1 to 32767")
        ->type_name("ROWSxCOLS");
    app.add_option("--threshold", strThreshold,
                   "--from-image fills the cells darker than this grey, 0 to 255 (default auto: Otsu's method)")
        ->type_name("N|auto");
    app.add_flag("--invert", options.bInvert, "--from-image fills the light cells instead of the dark ones");
    app.add_option("-o,--output", options.strImageOut, "where --from-image writes the puzzle")->type_name("FILE");
    std::string strCellSize = "8x8";
    app.add_option("--cell-size", strCellSize, "cell size of the whole picture in pixels (default 8x8)")
        ->type_name("WxH")
        ->check(CLI::Validator(
            [](std::string& value) {
                return ParseCellSize(value) ? std::string() : "expected WxH with W and H in 0..1000, found " + value;
            },
            "WxH"));
    app.add_option("-j,--jobs", options.nJobs, "solve N files at once (default: the number of cores)")
        ->check(CLI::Range(1u, 1024u))
        ->type_name("N");
    app.add_option("--threads", options.nThreads,
                   "complete solving: up to N differently set up searches on each puzzle side by side, the first "
                   "answer wins (default: the cores not taken by the files solved at once)")
        ->check(CLI::Range(1u, 64u))
        ->type_name("N");
    app.add_option("--convert-to", options.convertTo,
                   "write the clues as FORMAT (tb, non or xml; again for another) next to the puzzle file, its path "
                   "with \".FORMAT\" appended; a goal, title and author the file carries go along where FORMAT "
                   "holds them (non, xml)")
        ->type_name("FORMAT")
        ->allow_extra_args(false)
        ->check(CLI::IsMember({"tb", "non", "xml"}));
    bool bConvertToTb = false;
    app.add_flag("--convert-to-tb", bConvertToTb, "the same as --convert-to tb");
    app.add_flag("--rate", options.bRate,
                 "rate each puzzle instead of solving it: \"FILE: CLASS SCORE\" on stdout (see below)");
    app.add_flag("--json", options.bJson, "one JSON object per file on stdout instead of the grid (see below)");
    app.add_flag("--check-goal", options.bCheckGoal,
                 "compare the solved grid with the goal picture the file carries (.non \"goal\", XML <solution>)");
    app.add_flag("--complete", options.bComplete,
                 "solve beyond line logic: probing and search find a solution or prove there is none");
    bool bUnique = false;
    app.add_flag("--unique", bUnique, "solve completely and prove the solution unique (\"unique\" or \"multiple\")");
    app.add_option("--max-solutions", options.nMaxSolutions, "solve completely and count solutions up to N")
        ->check(CLI::Range(1ULL, 1000000000ULL))
        ->type_name("N");
    app.add_option("--timeout", options.dTimeout,
                   "stop a file's solve after SECONDS, keeping the cells decided so far, or the first solution a "
                   "complete solve found (outcome \"stopped\")")
        ->check(CLI::Validator(
            [](std::string& value) {
                double dSeconds = 0;
                const auto [pEnd, error] = std::from_chars(value.data(), value.data() + value.size(), dSeconds);
                // Written so that NaN fails too.
                const bool bOk = error == std::errc() && pEnd == value.data() + value.size() && dSeconds > 0 &&
                                 dSeconds <= kMaxTimeoutSeconds;
                return bOk ? std::string() : "expected seconds in (0, 1e7], found " + value;
            },
            "SECONDS"))
        ->type_name("SECONDS");
    app.add_option("--max-cells", options.nMaxCells, "refuse clue files with more cells than N (default 16777216)")
        ->check(CLI::Range(1LL, 32767LL * 32767LL))
        ->type_name("N");
    app.add_option("--max-picture-mib", options.nMaxPictureMiB,
                   "the largest whole picture --save-all-bmp and --export draw, in MiB (default 1024)")
        ->check(CLI::Range(1LL, 4096LL))
        ->type_name("N");
    app.add_flag("-q,--quiet", options.bQuiet, "no summary lines");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) { // --help or --version: printed, exit status 0
        nExitStatus = app.exit(e);
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        std::cerr << "tabulon-cli: " << e.what() << " (try --help)\n";
        nExitStatus = kExitUsage;
        return std::nullopt;
    }
    if (const char* pszClash = Clash(app, options)) {
        std::cerr << "tabulon-cli: " << pszClash << " (try --help)\n";
        nExitStatus = kExitUsage;
        return std::nullopt;
    }
    if (const char* pszFault = ImageOptions(app, options, strImageSize, strThreshold)) {
        std::cerr << "tabulon-cli: " << pszFault << " (try --help)\n";
        nExitStatus = kExitUsage;
        return std::nullopt;
    }
    if (!options.strExport.empty() && options.files.size() > 1) {
        std::cerr << "tabulon-cli: --export names one file: give one puzzle (try --help)\n";
        nExitStatus = kExitUsage;
        return std::nullopt;
    }
    std::tie(options.nCellX, options.nCellY) = *ParseCellSize(strCellSize);
    if (bConvertToTb)
        options.convertTo.insert(options.convertTo.begin(), "tb");
    std::vector<std::string>& formats = options.convertTo; // each written once, in the order first asked
    for (auto it = formats.begin(); it != formats.end(); ++it)
        formats.erase(std::remove(std::next(it), formats.end(), *it), formats.end());
    if (bUnique)
        options.nMaxSolutions = std::max(options.nMaxSolutions, 2ULL);
    options.bComplete = options.bComplete || bUnique || app.count("--max-solutions") > 0;
    return options;
}
