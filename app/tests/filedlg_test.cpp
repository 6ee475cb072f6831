// The file dialog's state machine on a temporary directory tree.
#include "app/tests/script_ui.h"

#include "app/dialogs/dirlist.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct FileDlg : ::testing::Test {
    temp_dir tmp;
    app_state a;
    file_dlg d;
    void SetUp() override
    {
        tmp.file("ROOM.RT", "x");
        tmp.file("a.rt", "x");
        tmp.file("pic.BMP", "x");
        tmp.file(".hidden.RT", "x");
        tmp.mkdir("sub");
        tmp.file("sub/X.RT", "x");
        tmp.mkdir("Mixed Case");
        tmp.mkdir(".hdir");
    }
    void open(int which, const char *pattern, const char *ext)
    {
        a.load_save = which;
        a.szFileSpec = tmp.path + "/" + pattern;
        FileOpenDlg_open(d, a, ext);
    }
    std::vector<std::string> labels() const
    {
        std::vector<std::string> v;
        for (auto &e : d.list)
            if (e.kind != FD_PLACE)
                v.push_back(e.label);
        return v;
    }
    void type_ok(const char *text)
    {
        FileOpenDlg_edit(d, text);
        FileOpenDlg_ok(d);
    }
    int find(const std::string &label) const
    {
        for (size_t i = 0; i < d.list.size(); i++)
            if (d.list[i].label == label)
                return (int)i;
        return -1;
    }
};

TEST_F(FileDlg, ListsFilesByPatternThenDirectoriesThenPlaces)
{
    open(0, "*.RT", ".RT");
    EXPECT_EQ(d.dir, tmp.path);
    EXPECT_EQ(labels(),
              (std::vector<std::string>{"a.rt", "ROOM.RT", "[..]", "[Mixed Case]", "[sub]"}));
    EXPECT_EQ(a.szFileSpec, "*.RT");
    EXPECT_EQ(d.field, "*.RT");
    EXPECT_EQ(d.list.back().kind, FD_PLACE);
    ASSERT_GE(find("[-/-]"), 0);
    EXPECT_EQ(d.list[find("[-/-]")].pick, "/");
}

TEST_F(FileDlg, TypedPatternBecomesTheCurrentOne)
{
    open(0, "*.BMP", ".BMP");
    type_ok("*.RT");
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(a.szFileSpec, "*.RT");
    EXPECT_EQ(d.field, "*.RT");
    EXPECT_EQ(labels()[0], "a.rt");
    // picking a subdirectory offers it with that pattern
    FileOpenDlg_select(d, find("[sub]"));
    EXPECT_EQ(d.field, "sub/*.RT");
}

TEST_F(FileDlg, DirectoriesUpDownAndWithSeparator)
{
    open(0, "*.RT", ".RT");
    FileOpenDlg_dblclk(d, find("[sub]"));
    EXPECT_EQ(d.dir, tmp.path + "/sub");
    EXPECT_EQ(d.field, "*.RT");
    EXPECT_EQ(labels(), (std::vector<std::string>{"X.RT", "[..]"}));

    type_ok("..");
    EXPECT_EQ(d.dir, tmp.path);
    EXPECT_EQ(a.szFileSpec, "*"); // a bare directory lists every file
    EXPECT_EQ(d.field, "*");
    EXPECT_GE(find("pic.BMP"), 0);

    type_ok("sub/");
    EXPECT_EQ(d.dir, tmp.path + "/sub");
    EXPECT_EQ(a.szFileSpec, "*");

    type_ok(tmp.path.c_str()); // an absolute directory
    EXPECT_EQ(d.dir, tmp.path);
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(d.beeps, 0);
}

TEST_F(FileDlg, PatternInAMissingDirectoryBeeps)
{
    open(0, "*.RT", ".RT");
    unsigned gen = d.list_gen;
    type_ok("nodir/*.RT");
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(d.list_gen, gen);
    EXPECT_EQ(d.dir, tmp.path);
    EXPECT_EQ(a.szFileSpec, "*.RT");
    EXPECT_EQ(d.result, -1);
}

TEST_F(FileDlg, LoadAppendsTheDefaultExtension)
{
    open(0, "*.RT", ".RT");
    type_ok("ROOM");
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(a.szFileName, "ROOM.RT");
    EXPECT_EQ(a.szFilePath, tmp.path + "/");
}

TEST_F(FileDlg, LoadBeepsForNoFileAndForHiddenOnes)
{
    open(0, "*.RT", ".RT");
    type_ok("nothing");
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(d.field, "nothing");
    type_ok(".hidden.RT");
    type_ok("sub"); // a directory is moved into, not loaded
    EXPECT_EQ(d.beeps, 2);
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(a.szFilePath, "");
}

TEST_F(FileDlg, SaveTakesTheNameAsItStands)
{
    open(1, "*.BMP", ".BMP");
    // but not a name no file can have: too long for the field, or for a
    // full name with the directory in front
    type_ok(std::string(PATH_BYTES, 'x').c_str());
    type_ok(std::string(PATH_BYTES - 2, 'x').c_str());
    EXPECT_EQ(d.beeps, 2);
    EXPECT_EQ(d.result, -1);
    type_ok("new");
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(a.szFileName, "new");
}

TEST_F(FileDlg, AcceptedDirectoryKeepsItsCase)
{
    open(1, "*.BMP", ".BMP");
    FileOpenDlg_dblclk(d, find("[Mixed Case]"));
    type_ok("Out.BMP");
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(a.szFilePath, tmp.path + "/Mixed Case/");
}

TEST_F(FileDlg, NameWithItsOwnDirectory)
{
    open(0, "*.RT", ".RT");
    type_ok("sub/X");
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(a.szFilePath, tmp.path + "/sub/");
    EXPECT_EQ(a.szFileName, "X.RT");
}

TEST_F(FileDlg, DoubleClickOnAFileIsPickAndOk)
{
    open(0, "*.RT", ".RT");
    FileOpenDlg_dblclk(d, find("a.rt"));
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(a.szFileName, "a.rt");
}

TEST_F(FileDlg, OkFollowsTheField)
{
    open(0, "*.RT", ".RT");
    EXPECT_EQ(d.ok_enabled, 1);
    FileOpenDlg_edit(d, "");
    EXPECT_EQ(d.ok_enabled, 0);
    FileOpenDlg_edit(d, "x");
    EXPECT_EQ(d.ok_enabled, 1);
}

TEST_F(FileDlg, FirstDialogListsTheWorkingDirectoryAndLeavesIt)
{
    char cwd[PATH_BYTES];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir((tmp.path + "/sub").c_str()), 0);
    script_ui ui;
    ui.files.push_back([](file_dlg &dd) {
        FileOpenDlg_dblclk(dd, 1); // [..]
        FileOpenDlg_edit(dd, "ROOM.RT");
        FileOpenDlg_ok(dd);
    });
    std::string dir, name;
    int r = CallFileOpenDlg(ui, a, "*.RT", ".RT", dir, name);
    char after[PATH_BYTES];
    ASSERT_TRUE(getcwd(after, sizeof after));
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(dir, tmp.path + "/");
    EXPECT_EQ(name, "ROOM.RT");
    EXPECT_EQ(std::string(after), tmp.path + "/sub");
}

TEST_F(FileDlg, VanishedDirectoryFallsBackToTheWorkingOne)
{
    a.szFileSpec = tmp.path + "/gone/*.RT";
    FileOpenDlg_open(d, a, ".RT");
    char cwd[PATH_BYTES];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    EXPECT_EQ(d.dir, path_resolve("/", cwd));
    EXPECT_EQ(a.szFileSpec, "*.RT");
}

TEST(DirList, WildcardsAndPaths)
{
    EXPECT_TRUE(wild_match("*.BMP", "room.bmp"));
    EXPECT_TRUE(wild_match("R?OM*", "ROOM.RT"));
    EXPECT_FALSE(wild_match("*.RT", "ROOM.RTX"));
    EXPECT_TRUE(wild_match("*a*b", "xxaxxb"));
    EXPECT_EQ(path_resolve("/a/b", "../c/./d/"), "/a/c/d");
    EXPECT_EQ(path_resolve("/a", "../../.."), "/");
    EXPECT_EQ(path_resolve("/a", "/x//y"), "/x/y");
    EXPECT_EQ(path_resolve("/a", "~"), home_dir());
}

} // namespace
