// commands_fixture.h - a session over a scripted window, as if a dialog
// had been closed with OK in a folder of its own that holds ROOM.RT.
#pragma once

#include "app/tests/script_ui.h"

#include "tests/write_limit.h"

#include <gtest/gtest.h>

struct Commands : ::testing::Test, scripted {
    temp_dir tmp;
    void SetUp() override
    {
        safewrite_fail_after(-1);
        // as if a dialog had been closed with OK in tmp
        a.szTmpFilePath = a.szFilePath = tmp.path + "/";
        tmp.file("ROOM.RT", small_scene(8, 6));
    }
    // Open ROOM.RT and render it: a picture that is not saved.
    void rendered()
    {
        ui.files.push_back(type_ok("ROOM.RT"));
        app_command(s, IDM_OPENRT);
        app_command(s, IDM_MAKE);
        ASSERT_EQ(a.image_ready, 1);
        ASSERT_EQ(a.data_change, 1);
        ui.msgs.clear();
    }
    int prompts() const
    {
        int n = 0;
        for (auto &m : ui.msgs)
            n += m.caption == "Save or not !";
        return n;
    }
};
