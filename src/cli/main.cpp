// tabulon-cli: solves clue files without a display.

#include "cli/BatchRunner.h"
#include "cli/CliOptions.h"
#include "cli/FileSolve.h"
#include "cli/ImageImport.h"
#include "cli/Interrupt.h"
#include "cli/PictureModule.h"
#include "cli/ProgressLine.h"

#include <algorithm>
#include <sched.h>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The cores this process may run on (taskset narrows them), not the
// machine's: more searches than cores only take turns.
unsigned AvailableCores() {
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(1, CPU_COUNT(&cores));
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace

int main(int argc, char** argv) {
    int nExitStatus = 0;
    std::optional<CliOptions> options = ParseCommandLine(argc, argv, nExitStatus);
    if (!options)
        return nExitStatus;

    WatchForInterrupt(); // before the drawing module or the workers start threads
    PictureModule module;
    if (options->NeedsPicture()) {
        std::string strError;
        if (!LoadPictureModule(module, argv, strError)) {
            std::fprintf(stderr, "tabulon-cli: %s\n", strError.c_str());
            return kExitFileError;
        }
        module.pfnStart(); // Qt starts on the main thread, before any worker draws
    }
    if (!options->strFromImage.empty())
        return ImportImage(*options, module);

    const unsigned nCores = AvailableCores();
    const unsigned nJobs = options->nJobs ? options->nJobs : nCores;
    // Fewer files than cores: the spare ones search the same puzzles.
    if (options->nThreads == 0)
        options->nThreads =
            std::max(1u, nCores / static_cast<unsigned>(std::clamp<size_t>(options->files.size(), 1, nJobs)));
    std::vector<FileReport> reports(options->files.size());
    int nWorst = 0;
    size_t nNotBegun = 0;
    CProgressLine progress(!options->bQuiet && isatty(STDERR_FILENO), reports.size());
    RunInOrder(
        reports.size(), nJobs,
        [&](size_t i) {
            if (Interrupted()) {
                reports[i].bNotBegun = true;
                return;
            }
            progress.Begin(i, options->files[i]);
            reports[i] = SolveFile(options->files[i], *options, options->NeedsPicture() ? &module : nullptr);
            progress.End(i);
        },
        [&](size_t i) {
            progress.Write([&] {
                WriteStdout(reports[i]);
                std::fwrite(reports[i].strErr.data(), 1, reports[i].strErr.size(), stderr);
            });
            if (reports[i].bNotBegun)
                ++nNotBegun;
            else
                nWorst = std::max(nWorst, reports[i].nStatus);
            reports[i] = FileReport(); // the text is out; free it
        });
    if (!Interrupted())
        return nWorst;
    if (nNotBegun > 0)
        progress.Write([&] { std::fprintf(stderr, "tabulon-cli: interrupted; %zu file(s) not begun\n", nNotBegun); });
    return kExitInterrupted;
}
