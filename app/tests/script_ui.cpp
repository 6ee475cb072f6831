#include "script_ui.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

temp_dir::temp_dir()
{
    char tmpl[] = "/tmp/koru-app-XXXXXX";
    path = mkdtemp(tmpl);
}

temp_dir::~temp_dir()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string temp_dir::file(const std::string &name, const std::string &text) const
{
    std::string p = path + "/" + name;
    std::ofstream(p) << text;
    return p;
}

std::string temp_dir::mkdir(const std::string &name) const
{
    std::string p = path + "/" + name;
    std::filesystem::create_directories(p);
    return p;
}

std::string small_scene(int w, int h, const char *rgb)
{
    return "0 0 0\n0 0 1\n10 4\n" + std::to_string(w) + " " + std::to_string(h) +
           "\n1\n0 0 10 1\n0\n"
           "1 1 0.5 0.5 0 0 1 1 0 0 1 1 0 0 1 0 0 0 " +
           rgb + "\n-1\n-1\n";
}
