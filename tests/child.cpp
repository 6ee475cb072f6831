#include "child.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<char *> argv_of(const std::vector<std::string> &args)
{
    std::vector<char *> v;
    v.push_back(const_cast<char *>(KORU_CLI));
    for (const std::string &a : args)
        v.push_back(const_cast<char *>(a.c_str()));
    v.push_back(nullptr);
    return v;
}

void drain(int fd, std::string &into)
{
    char buf[4096];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0)
        into.append(buf, (size_t)n);
}

} // namespace

child_result wait_cli(pid_t pid)
{
    child_result r;
    int st = 0;
    while (waitpid(pid, &st, 0) < 0)
        ;
    if (WIFEXITED(st))
        r.status = WEXITSTATUS(st);
    else if (WIFSIGNALED(st))
        r.signal = WTERMSIG(st);
    return r;
}

child_result run_cli(const std::vector<std::string> &args, const std::string &cwd)
{
    int out[2], err[2];
    if (pipe(out) || pipe(err))
        std::abort();
    std::vector<char *> argv = argv_of(args);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]), close(out[1]), close(err[0]), close(err[1]);
        if (!cwd.empty() && chdir(cwd.c_str()))
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    std::string o, e;
    pollfd p[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open_fds = 2;
    while (open_fds) {
        if (poll(p, 2, -1) < 0)
            continue;
        for (int i = 0; i < 2; i++) {
            if (p[i].fd < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            size_t before = (i ? e : o).size();
            drain(p[i].fd, i ? e : o);
            if ((i ? e : o).size() == before) {
                close(p[i].fd);
                p[i].fd = -1;
                open_fds--;
            }
        }
    }
    child_result r = wait_cli(pid);
    r.out = o;
    r.err = e;
    return r;
}

pid_t start_cli(const std::vector<std::string> &args)
{
    std::vector<char *> argv = argv_of(args);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

cli_on_tty::cli_on_tty(const std::vector<std::string> &args)
{
    const int tty = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return;
    const char *name = grantpt(tty) == 0 && unlockpt(tty) == 0 ? ptsname(tty) : nullptr;
    // the child's side is open before the child is, so that the terminal
    // reads as closed only once the child has ended
    const int term = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    if (term < 0) {
        close(tty);
        return;
    }
    std::vector<char *> argv = argv_of(args);
    pid_ = fork();
    if (pid_ == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(term, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(term);
    if (pid_ > 0)
        tty_ = tty;
    else
        close(tty);
}

cli_on_tty::~cli_on_tty()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        wait_cli(pid_);
    }
    if (tty_ >= 0)
        close(tty_);
}

bool cli_on_tty::read_some(int timeout_ms)
{
    pollfd p = {tty_, POLLIN, 0};
    const int n = poll(&p, 1, timeout_ms);
    if (n < 0)
        return errno == EINTR;
    if (n == 0)
        return true;
    char buf[4096];
    const ssize_t got = read(tty_, buf, sizeof buf);
    if (got > 0)
        said_.append(buf, (size_t)got);
    return got > 0 || (got < 0 && errno == EINTR); // EIO: the child has gone
}

cli_on_tty::stop cli_on_tty::read_until(const std::function<bool(const std::string &)> &done)
{
    using namespace std::chrono;
    const auto end = steady_clock::now() + WAIT_LIMIT;
    while (!done(said_)) {
        const auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
        if (left <= 0)
            return stop::late;
        if (!read_some((int)left))
            return done(said_) ? stop::done : stop::ended;
    }
    return stop::done;
}

bool cli_on_tty::wait_for(const std::function<bool(const std::string &)> &done)
{
    return tty_ >= 0 && read_until(done) == stop::done;
}

child_result cli_on_tty::finish()
{
    if (pid_ <= 0)
        return child_result{};
    if (tty_ >= 0 && read_until([](const std::string &) { return false; }) == stop::late)
        kill(pid_, SIGKILL); // a hang: it would not end
    child_result r = wait_cli(pid_);
    pid_ = -1;
    r.err = said_;
    return r;
}

int bar_count(const std::string &text)
{
    for (size_t end = text.size(); end > 0;) {
        const size_t bar = text.rfind("\r[", end - 1);
        if (bar == std::string::npos)
            return -1;
        size_t at = text.find("] ", bar);
        if (at != std::string::npos) {
            at += 2;
            if (text.compare(at, 6, "frame ") == 0)
                at += 6;
            size_t digits = at;
            while (digits < text.size() && std::isdigit((unsigned char)text[digits]))
                digits++;
            if (digits > at && digits < text.size() && text[digits] == '/')
                return std::stoi(text.substr(at, digits - at));
        }
        end = bar;
    }
    return -1;
}

std::vector<std::string> error_lines(const std::string &err)
{
    std::vector<std::string> lines;
    std::istringstream in(err);
    std::string l;
    while (std::getline(in, l))
        if (l.find(": warning: ") == std::string::npos)
            lines.push_back(l);
    return lines;
}

temp_dir::temp_dir()
{
    const char *t = std::getenv("TMPDIR");
    std::string templ = std::string(t && *t ? t : "/tmp") + "/koru-test-XXXXXX";
    if (!mkdtemp(&templ[0]))
        std::abort();
    path = templ;
}

temp_dir::~temp_dir()
{
    std::error_code ec;
    fs::remove_all(path, ec);
}

bool exists(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_dir(const std::string &path)
{
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
