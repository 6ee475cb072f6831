#include "child.h"

#include <algorithm>
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
