#include "app/tests/script_ui.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

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

std::vector<unsigned char> made_bytes(const scene &sc)
{
    render_job job(sc);
    EXPECT_EQ(job.run(), RAY_DONE);
    const picture &p = job.result();
    std::vector<unsigned char> v = p.r;
    v.insert(v.end(), p.g.begin(), p.g.end());
    v.insert(v.end(), p.b.begin(), p.b.end());
    return v;
}

std::vector<unsigned char> shown_bytes(const app_state &a)
{
    const size_t n = (size_t)a.model.ixmx * a.model.iymx;
    std::vector<unsigned char> v(a.gdata->r, a.gdata->r + n);
    v.insert(v.end(), a.gdata->g, a.gdata->g + n);
    v.insert(v.end(), a.gdata->b, a.gdata->b + n);
    return v;
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> listing(const std::string &dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
