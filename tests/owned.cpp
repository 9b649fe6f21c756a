// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one test so that nothing it starts outlives it, and so that a test
// that could not make its checks is reported as skipped:
//   owned PROGRAM [ARGUMENTS...]
// The test runs as a child of this process, which takes in every process
// the test leaves behind (a daemon that detached itself, a bus started for
// it, a server it forgot). When the test ends, what still runs is given two
// seconds to end by itself; then each such process is named on standard
// error, killed, and the run fails.
// Otherwise the run ends with the test's own status, except that a Qt Test
// program that failed nothing but skipped something ends with 77, which
// CTest reports as skipped (SKIP_RETURN_CODE); a script says so itself by
// ending with 77.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int Skipped = 77;

// The processes whose parent this process is: the orphans it took in.
std::vector<pid_t> children()
{
    std::vector<pid_t> found;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return found;
    const pid_t self = ::getpid();
    while (const dirent *entry = ::readdir(proc)) {
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end)
            continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (name) state ppid ...: the name may hold blanks and brackets.
        const auto close = line.rfind(')');
        char state = 0;
        long parent = 0;
        if (close != std::string::npos && std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) == 2
            && parent == self && state != 'Z')
            found.push_back(pid_t(pid));
    }
    ::closedir(proc);
    return found;
}

std::string commandLine(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (char &c : text) {
        if (c == '\0')
            c = ' ';
    }
    return text;
}

// Reaps every child that has ended; true once the test has, its status then
// in `status`.
bool reap(pid_t test, int &status, bool &ended)
{
    int any = 0;
    for (pid_t pid; (pid = ::waitpid(-1, &any, WNOHANG)) > 0;) {
        if (pid == test) {
            status = any;
            ended = true;
        }
    }
    return ended;
}

// Passes the test's standard output on, keeping the line of Qt Test's
// totals.
class Output
{
public:
    explicit Output(int descriptor) : m_descriptor(descriptor) {}

    void pass(int timeout)
    {
        pollfd ready{m_descriptor, POLLIN, 0};
        if (m_descriptor < 0 || ::poll(&ready, 1, timeout) <= 0)
            return;
        char buffer[4096];
        const ssize_t size = ::read(m_descriptor, buffer, sizeof buffer);
        if (size <= 0) {
            if (size == 0 || errno != EINTR) {
                ::close(m_descriptor);
                m_descriptor = -1;
            }
            return;
        }
        for (ssize_t done = 0; done < size;) {
            const ssize_t written = ::write(STDOUT_FILENO, buffer + done, std::size_t(size - done));
            if (written <= 0 && errno != EINTR)
                break;
            done += written > 0 ? written : 0;
        }
        m_line.append(buffer, std::size_t(size));
        for (std::size_t end; (end = m_line.find('\n')) != std::string::npos; m_line.erase(0, end + 1)) {
            if (m_line.compare(0, 7, "Totals:") == 0)
                m_totals = m_line.substr(0, end);
        }
    }

    // What is left once the test has ended; what its descendants write later
    // is not waited for.
    void drain()
    {
        for (int i = 0; i < 1000 && m_descriptor >= 0; ++i)
            pass(0);
    }

    // Qt Test's verdict "Totals: 3 passed, 0 failed, 1 skipped, ...".
    bool onlySkipped() const
    {
        static const std::regex skipped("Totals: [0-9]+ passed, 0 failed, [1-9][0-9]* skipped.*");
        return std::regex_match(m_totals, skipped);
    }

private:
    int m_descriptor;
    std::string m_line;
    std::string m_totals;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: owned PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    int pipe[2];
    if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0 || ::pipe2(pipe, O_CLOEXEC) != 0) {
        std::perror("owned");
        return 2;
    }
    const pid_t test = ::fork();
    if (test < 0) {
        std::perror("owned: fork");
        return 2;
    }
    if (test == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::execvp(argv[1], argv + 1);
        std::fprintf(stderr, "owned: cannot run %s: %s\n", argv[1], std::strerror(errno));
        std::_Exit(127);
    }
    ::close(pipe[1]);
    // A SIGTERM to this process (CTest's end of a test that ran too long)
    // is passed on to the test.
    static pid_t running = test;
    struct sigaction passOn = {};
    passOn.sa_handler = [](int) { ::kill(running, SIGTERM); };
    ::sigaction(SIGTERM, &passOn, nullptr);

    Output output(pipe[0]);
    int status = 0;
    bool ended = false;
    while (!reap(test, status, ended))
        output.pass(50);
    output.drain();
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (code == 0 && output.onlySkipped())
        code = Skipped;

    using namespace std::chrono_literals;
    std::vector<pid_t> left;
    for (auto waited = 0ms; waited < 2000ms; waited += 50ms) {
        reap(test, status, ended);
        left = children();
        if (left.empty())
            break;
        std::this_thread::sleep_for(50ms);
    }
    for (const pid_t pid : left) {
        std::fprintf(stderr, "owned: %s left running: pid %d, %s\n", argv[1], int(pid), commandLine(pid).c_str());
        ::kill(pid, SIGKILL);
    }
    // What the killed processes started in turn comes here as they die.
    for (int round = 0; round < 40 && !children().empty(); ++round) {
        for (const pid_t pid : children())
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(50ms);
        reap(test, status, ended);
    }
    if (!left.empty() && (code == 0 || code == Skipped))
        code = 1;
    return code;
}
