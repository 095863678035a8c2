// Runs the SQL shell (nyilvex-sql) as a separate process on a folder, as a
// user or a script does: several at once when asked.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace enginetest {

struct ShellOutcome {
    int status = -1;      // exit status; -1 when ended by a signal
    int signal = 0;       // the signal that ended it, if any
    std::string out, err;
};

// A shell started with `script` on its standard input; finish() waits for it.
class ShellProcess {
public:
    ShellProcess(const std::string& folder, const std::string& script, const std::string& workFile)
        : work_(workFile)
    {
        std::ofstream(work_ + ".in", std::ios::binary) << script;
        pid_ = fork();
        if (pid_ == 0) {
            const int in = ::open((work_ + ".in").c_str(), O_RDONLY);
            const int out = ::open((work_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open((work_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            execl(NYILVEX_SQL, NYILVEX_SQL, folder.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ShellProcess(const ShellProcess&) = delete;
    ShellProcess& operator=(const ShellProcess&) = delete;
    ~ShellProcess() { finish(); }

    const ShellOutcome& finish()
    {
        if (pid_ <= 0) return outcome_;
        int st = 0;
        waitpid(pid_, &st, 0);
        pid_ = 0;
        outcome_.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        outcome_.signal = WIFSIGNALED(st) ? WTERMSIG(st) : 0;
        outcome_.out = read(work_ + ".out");
        outcome_.err = read(work_ + ".err");
        return outcome_;
    }

private:
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string work_;
    pid_t pid_ = 0;
    ShellOutcome outcome_;
};

inline ShellOutcome runShell(const std::string& folder, const std::string& script, const std::string& workFile)
{
    ShellProcess p(folder, script, workFile);
    return p.finish();
}

}  // namespace enginetest
