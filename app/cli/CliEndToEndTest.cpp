// pavrin-cli as a user runs it, as a separate process: outputs pointed at the wrong file, projects
// with odd names, damaged projects, a full disk and a standard output that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The runner under test; PAVRIN_CLI_UNDER_TEST names another build of it.
std::string cliPath() {
    const char* other = std::getenv("PAVRIN_CLI_UNDER_TEST");
    return other != nullptr && *other != '\0' ? other : PAVRIN_CLI;
}

struct Result {
    int code = -1;
    std::string out, err;
};

class CliEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pavrin-cli-e2e-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        project = dir / "pile.pv3d";
        fs::copy_file(fs::path(PAVRIN_EXAMPLES) / "drilled-shaft-si.pv3d", project);
        fs::copy_file(fs::path(PAVRIN_GRAPHICS_TEST_DATA) / "drilled-shaft-si.pv3p", dir / "pile.pv3p");
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir / "locked", fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }

    // Runs pavrin-cli in `dir` with `arguments`; `shell` goes before it (limits), `redirect` after
    // it (where its standard output goes, else a file). A command that does not end within 60 s
    // is stopped: a hang shows as exit code 124.
    Result cli(const std::vector<std::string>& arguments, const std::string& shell = "",
               const std::string& redirect = "") {
        std::string command =
            "cd " + shellQuoted(dir.string()) + " && " + shell + " exec timeout 60 " + shellQuoted(cliPath());
        for (const auto& a : arguments)
            command += " " + shellQuoted(a);
        command += redirect.empty() ? " > " + shellQuoted((dir / "stdout.txt").string()) : " " + redirect;
        command += " 2> " + shellQuoted((dir / "stderr.txt").string()) + " < /dev/null";
        const int status = std::system(("sh -c " + shellQuoted(command)).c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = readFile(dir / "stdout.txt");
        r.err = readFile(dir / "stderr.txt");
        return r;
    }

    fs::path dir, project;
};

// Every command that writes a file, with its output pointed at the project, one of its run files, a
// named pipe, a folder or a device: refused with a message, without blocking, and nothing changes.
TEST_F(CliEndToEnd, OutputsThatAreTheProjectOrNotRegularFilesAreRefused) {
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.png");
    fs::create_symlink("/dev/null", dir / "device.png");
    const std::string projectBytes = readFile(project), plotBytes = readFile(dir / "pile.pv3p");
    const std::string p = project.string();
    const std::vector<std::vector<std::string>> commands = {
        {"springs", p, "--out", "@"},
        {"sweep", p, "--vary", "length=18:20:1", "--out", "@"},
        {"xlsx", p, "@"},
        {"convert", "--units", "english", p, "@"},
#ifdef PAVRIN_CLI_PLOT
        {"plot", p, "--graph", "load", "--out", "@"},
#endif
    };
    std::vector<std::string> targets = {p,
                                        (dir / "pile.pv3p").string(),
                                        (dir / "pile.pv3o").string(),
                                        (dir / "pipe.png").string(),
                                        (dir / "folder.png").string(),
                                        (dir / "device.png").string(),
                                        (dir / "missing" / "out.png").string()};
    if (::geteuid() != 0) { // the superuser writes in any folder
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        targets.push_back((dir / "locked" / "out.png").string());
    }
    for (const std::string& target : targets) {
        for (auto arguments : commands) {
            for (auto& a : arguments)
                if (a == "@")
                    a = target;
            const Result r = cli(arguments);
            EXPECT_NE(r.code, 0) << arguments[0] << " " << target << "\n" << r.err;
            EXPECT_NE(r.code, 124) << arguments[0] << " " << target << " blocked";
            EXPECT_NE(r.err.find(target), std::string::npos) << arguments[0] << " " << target << "\n"
                                                             << r.err;
            EXPECT_EQ(r.err.find("[ERROR]"), std::string::npos) << arguments[0] << " " << target << "\n"
                                                                << r.err;
            EXPECT_EQ(readFile(project), projectBytes) << arguments[0] << " " << target;
            EXPECT_EQ(readFile(dir / "pile.pv3p"), plotBytes) << arguments[0] << " " << target;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "pile.pv3o"));
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.png"));
    EXPECT_TRUE(fs::is_symlink(dir / "device.png"));
    EXPECT_TRUE(fs::is_empty(dir / "folder.png"));
}

// A run whose files the run-file list cannot carry exactly, or whose outputs would be the project or
// cannot be written, is refused before anything is written.
TEST_F(CliEndToEnd, RunIsRefusedWhenItsFilesCannotBeRunSafely) {
    const std::string text = readFile(project);
    struct Case {
        std::string project;
        std::string message;
    };
    std::vector<Case> cases = {
        {"named.pv3p", "plot data file"},
        {"named.pv3o", "output report"},
        {"named.pv3r", "processor-run notes"},
        {"blank.pv3d ", "blank"},
        {"line\nbreak.pv3d", "control character"},
        {"piped.pv3d", "not a regular file"}, // its report is a named pipe
    };
    writeFile(dir / "blank.pv3d", text); // the neighbour the engine would have run instead
    writeFile(dir / "line", "the user's own file");
    ASSERT_EQ(::mkfifo((dir / "piped.pv3o").c_str(), 0600), 0);
    if (::geteuid() != 0) { // the superuser writes in any folder
        fs::create_directory(dir / "locked");
        writeFile(dir / "locked" / "ro.pv3d", text);
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        cases.push_back({"locked/ro.pv3d", "is not writable"});
    }
    for (const Case& c : cases) {
        if (!fs::exists(dir / c.project))
            writeFile(dir / c.project, text);
        const Result r = cli({"run", c.project});
        EXPECT_NE(r.code, 0) << c.project << "\n" << r.out << r.err;
        EXPECT_NE(r.code, 124) << c.project << " blocked";
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.project << "\n" << r.err;
        EXPECT_EQ(readFile(dir / c.project), text) << c.project;
    }
    EXPECT_FALSE(fs::exists(dir / "blank.pv3o"));
    EXPECT_EQ(readFile(dir / "line"), "the user's own file");
    EXPECT_TRUE(fs::is_fifo(dir / "piped.pv3o"));
}

// A folder or a pipe given as the project is named as what it is, by every command.
TEST_F(CliEndToEnd, AProjectThatIsNotAFileIsNamedAsWhatItIs) {
    fs::create_directory(dir / "folder.pv3d");
    ASSERT_EQ(::mkfifo((dir / "pipe.pv3d").c_str(), 0600), 0);
    for (const std::string command : {"run", "check", "summary", "xlsx", "springs"})
        for (const auto& [name, message] : {std::pair{"folder.pv3d", "a folder, not a project file"},
                                            std::pair{"pipe.pv3d", "a named pipe, not a project file"}}) {
            std::vector<std::string> arguments = {command, name};
            if (command == "xlsx")
                arguments.push_back("out.xlsx");
            if (command == "springs")
                arguments.insert(arguments.end(), {"--out", "out.csv"});
            const Result r = cli(arguments);
            EXPECT_NE(r.code, 0) << command << " " << name;
            EXPECT_NE(r.code, 124) << command << " " << name << " blocked";
            EXPECT_NE(r.err.find(message), std::string::npos) << command << " " << name << "\n" << r.err;
        }
}

// What check says and what the engine does agree, on damaged files and on an older-format project
// (which run, like the program, hands to the engine as File Save would write it).
TEST_F(CliEndToEnd, CheckPassesExactlyTheProjectsTheEngineRuns) {
    const std::string text = readFile(project);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    std::string crOnly = text;
    for (std::size_t at = 0; (at = crOnly.find("\r\n", at)) != std::string::npos;)
        crOnly.erase(at + 1, 1);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"sound.pv3d", text},
        {"two-point-oh.pv3d", replaced("\r\n40 0 2\r\n", "\r\n40.0 0 2\r\n")},
        {"exponent.pv3d", replaced("\r\n40 0 2\r\n", "\r\n4e1 0 2\r\n")},
        {"cr-only.pv3d", crOnly},
        {"lone-cr.pv3d", replaced("\r\n40 0 2\r\n", "\r\n40 0\r2\r\n")},
        {"nul.pv3d", replaced("\r\n40 0 2\r\n", std::string("\r\n40\0 0 2\r\n", 11))},
        {"older.pvd", readFile(fs::path(PAVRIN_APP_TEST_DATA) / "old-format.pvd")},
    };
    for (const auto& [name, contents] : files) {
        writeFile(dir / name, contents);
        const Result check = cli({"check", name});
        const Result run = cli({"run", name});
        EXPECT_TRUE(check.code == 0 || check.code == 1) << name << "\n" << check.err;
        EXPECT_EQ(check.code == 0, run.code == 0)
            << name << ": check " << check.code << ", run " << run.code << "\n"
            << check.out << check.err << run.out << run.err;
        if (name == "sound.pv3d" || name == "older.pvd") {
            EXPECT_EQ(run.code, 0) << name << "\n" << run.out << run.err;
        }
        if (name == "older.pvd") {
            EXPECT_EQ(cli({"summary", name}).code, 0) << name;
            EXPECT_EQ(cli({"springs", name, "--out", "older.csv"}).code, 0) << name;
        }
    }
}

// A standard output that cannot be written, and a run file that cannot be written whole (a file size
// limit stands for a full disk), are reported as write errors, not as success.
TEST_F(CliEndToEnd, WriteFailuresAreReportedAsSuch) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const std::string p = project.string();
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--help"}, {"check", p}, {"summary", p, "--csv"}, {"run", p}}) {
        const Result r = cli(arguments, "", "> /dev/full");
        EXPECT_EQ(r.code, 74) << arguments[0] << "\n" << r.err;
        EXPECT_NE(r.err.find("standard output could not be written"), std::string::npos) << r.err;
    }
    // A limit of 4 blocks of 512 bytes cuts the report; SIGXFSZ ignored makes writes fail instead.
    const Result r = cli({"run", p}, "trap '' XFSZ; ulimit -f 4;");
    EXPECT_EQ(r.code, 9) << r.out << r.err;
    EXPECT_NE(r.out.find("Writing failed: " + (dir / "pile.pv3o").string()), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("End of the report"), std::string::npos) << r.out;
}

} // namespace
