// Exit codes of pavrin-cli besides the engine's run status (0 to 8), which `run` passes on.
#pragma once

namespace pavrin::cli {

enum ExitCode : int {
    ExitProjectMissing = 2,     // the project file does not exist (the engine's "file error")
    ExitUsage = 64,             // bad command line (sysexits EX_USAGE)
    ExitEngineUnavailable = 69, // engine library missing, not loadable or without entry point
    ExitRunFolder = 73,         // temporary run folder or names.dat could not be made
    ExitProjectRefused = 65,    // summary/springs/sweep: the pre-run check has findings (EX_DATAERR)
    ExitProjectUnreadable = 66, // summary/springs/sweep: the project cannot be read whole (EX_NOINPUT)
    ExitInternal = 70,          // a command failed in an unforeseen way (EX_SOFTWARE)
    ExitNoMemory = 71,          // not enough memory for the command (EX_OSERR)
    ExitOutputFile = 74, // an output file, a run file or the standard output could not be written (EX_IOERR)
    ExitInterrupted = 130, // sweep stopped by Ctrl-C, finished rows written
};

} // namespace pavrin::cli
