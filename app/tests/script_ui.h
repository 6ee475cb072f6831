// script_ui.h - a ui_port whose answers a test writes in advance, and
// which records what the commands showed. Also a temporary directory.
#pragma once

#include "app/anim/anim_form.h"
#include "app/commands/commands.h"
#include "app/dialogs/config.h"
#include "app/dialogs/filedlg.h"
#include "app/dialogs/setting.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/new_scene.h"
#include "base/msg.h"
#include "trace/render.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct msg_rec {
    std::string text, caption;
    int kind;
};

struct script_ui : ui_port {
    const app_state *app = nullptr; // the session's, for busy_seen
    std::deque<int> answers;        // message answers in order; ID_CANCEL when none left
    std::vector<msg_rec> msgs;
    // one per file dialog, in order; a dialog still open afterwards is cancelled
    std::deque<std::function<void(file_dlg &)>> files;
    std::vector<std::string> offered; // name field of each file dialog at opening
    std::function<int(setting_form &)> on_setting;
    std::function<int(config_form &)> on_config;
    bool cancel_render = false;
    int renders = 0, render_rc = -1;
    int busy_seen = 0, command_changes = 0;
    bool print_ok = true, page_ok = true;
    int pw = 4800, ph = 6600;
    std::string docname;
    int printed_scale = -1, print_setups = 0;
    int beeps = 0, invalidates = 0, refreshes = 0, helps = 0, closes = 0, cursor = 0,
        cursor_peak = 0;
    std::string title = "KORU";
    // Make Animation: the dialog's answer, when its run is cancelled
    // (ANIM_CANCEL_* or, from 0, as frame k is handed over), and the files
    // played
    enum { ANIM_CANCEL_NEVER = -1, ANIM_CANCEL_FIRST = -2, ANIM_CANCEL_WRITING = -3 };
    std::function<int(anim_form &)> on_anim;
    int anim_cancel_at = ANIM_CANCEL_NEVER;
    std::vector<std::string> played;
    bool play_ok = true;
    std::vector<std::string> statuses; // what the status line said, in order
    // New Scene's chooser: its answer (none: Enter on what it opens with),
    // and the template it opened with each time
    std::function<int(new_scene_form &)> on_new_scene;
    std::vector<int> new_scene_opened;
    int guides = 0;

    int message(const char *text, const char *caption, int kind) override
    {
        msgs.push_back({text, caption, kind});
        // the menu's mnemonic markers are no part of what a message says
        EXPECT_EQ(std::string(text).find("(&"), std::string::npos) << text;
        if (answers.empty())
            return kind == MB_YESNOCANCEL ? ID_CANCEL : kind == MB_REPLACE ? ID_NO : ID_OK;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    int file_dialog(file_dlg &d) override
    {
        offered.push_back(d.field);
        if (!files.empty()) {
            auto f = files.front();
            files.pop_front();
            f(d);
        }
        if (d.result < 0)
            FileOpenDlg_cancel(d);
        beeps += d.beeps;
        return d.result;
    }
    int setting_dialog(setting_form &f) override { return on_setting ? on_setting(f) : 0; }
    int config_dialog(config_form &f) override { return on_config ? on_config(f) : 0; }
    // A render ends before run_render returns.
    void run_render(render_job &job, std::function<void(int)> done) override
    {
        renders++;
        busy_seen = app ? app->busy : -1;
        if (render_rc >= 0) {
            done(render_rc);
            return;
        }
        if (cancel_render)
            job.cancel();
        done(job.run());
    }
    void commands_changed() override { command_changes++; }
    row_fn row_display() override { return {}; }
    int print_setup(const char *doc, int &w, int &h) override
    {
        print_setups++;
        docname = doc;
        w = pw;
        h = ph;
        return print_ok;
    }
    int print_page(const display_state &, int, int, int scale, msglist &) override
    {
        printed_scale = scale;
        return page_ok;
    }
    void set_title(const char *t) override { title = t; }
    void wait_cursor(int on) override
    {
        cursor += on ? 1 : -1;
        if (cursor > cursor_peak)
            cursor_peak = cursor;
    }
    void invalidate() override { invalidates++; }
    void refresh() override { refreshes++; }
    void help() override { helps++; }
    void guide() override { guides++; }
    int new_scene_dialog(new_scene_form &f) override
    {
        new_scene_opened.push_back(f.chosen);
        return on_new_scene ? on_new_scene(f) : 1;
    }
    void close_window() override { closes++; }
    int anim_dialog(anim_form &f) override { return on_anim ? on_anim(f) : 0; }
    void run_anim(anim_job &job, const frame_fn &on_frame, std::function<int()> finish,
                  std::function<void(int)> done) override
    {
        busy_seen = app ? app->busy : -1;
        if (anim_cancel_at == ANIM_CANCEL_FIRST)
            job.cancel();
        const int rc = job.run([&](int k, const render_job &r) {
            if (k == anim_cancel_at)
                job.cancel();
            return on_frame(k, r);
        });
        if (rc != RAY_DONE) {
            done(rc);
            return;
        }
        if (anim_cancel_at == ANIM_CANCEL_WRITING)
            job.cancel();
        done(finish());
    }
    bool play_anim(const char *path, double, int, msglist &m) override
    {
        played.push_back(path);
        if (!play_ok)
            m.add("cannot decode it");
        return play_ok;
    }
    void status(const char *text) override { statuses.push_back(text); }
};

// A session over a script_ui: what a window holds, with answers written
// in advance.
struct scripted {
    script_ui ui;
    session s{ui};
    app_state &a = s.app;
    display_state &d = s.disp;
    scripted() { ui.app = &s.app; }
};

// Answer a file dialog by typing name and pressing OK.
inline std::function<void(file_dlg &)> type_ok(const std::string &name)
{
    return [name](file_dlg &d) {
        FileOpenDlg_edit(d, name.c_str());
        FileOpenDlg_ok(d);
    };
}

// A fresh directory under /tmp, removed with everything in it.
struct temp_dir {
    std::string path;
    temp_dir();
    ~temp_dir();
    std::string file(const std::string &name, const std::string &text = "") const;
    std::string mkdir(const std::string &name) const;
};

// A scene of one lit plane seen from above: w x h dots, the plane's
// colour rgb ("R G B").
std::string small_scene(int w, int h, const char *rgb = "200 100 50");

// Make Image's bytes for sc (its reds, greens, then blues), checked to be
// made; and those of the picture a session shows, in the same order.
std::vector<unsigned char> made_bytes(const scene &sc);
std::vector<unsigned char> shown_bytes(const app_state &a);

// A file's bytes; "" when it cannot be read.
std::string slurp(const std::string &path);
// The names in a folder (hidden ones too), sorted.
std::vector<std::string> listing(const std::string &dir);
