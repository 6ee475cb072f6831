// The dialogs' logic: SETTING's and CONFIG's texts and parsing, and the print scale.
#include "app/tests/script_ui.h"

#include "app/dialogs/print.h"
#include "app/session/display_state.h"
#include "scene/scene.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Settings : ::testing::Test, scripted {
    scene model;
    // CONFIG closed with OK after typing zoom, or cancelled.
    int config(const char *zoom, int ok = 1)
    {
        ui.on_config = [zoom, ok](config_form &f) {
            std::strcpy(f.zoom, zoom);
            return ok;
        };
        return CallConfSet(ui, d);
    }
};

TEST_F(Settings, UnsignedFieldsReadAsTheDialogsDo)
{
    int v = 7;
    EXPECT_TRUE(get_uint(" 640 ", v));
    EXPECT_EQ(v, 640);
    EXPECT_TRUE(get_uint("0", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(get_uint("99999999999", v));
    EXPECT_EQ(v, INT_MAX);
    v = 7;
    for (const char *bad : {"", " ", "-5", "+5", "12a", "1.5", "0x10"})
        EXPECT_FALSE(get_uint(bad, v)) << bad;
    EXPECT_EQ(v, 7);
}

TEST_F(Settings, SettingShowsSixDecimals)
{
    model.ixmx = 640;
    model.iymx = 480;
    model.vpnaz = -1;
    setting_form f;
    DataSet_open(f, model);
    EXPECT_STREQ(f.text[0], "640");
    EXPECT_STREQ(f.text[1], "480");
    EXPECT_STREQ(f.text[7], "-1.000000");
    EXPECT_STREQ(f.text[9], "0.160000"); // length3d
}

TEST_F(Settings, SettingOkParsesEachField)
{
    model.ixmx = 640;
    model.iymx = 480;
    model.rx = 5;
    model.ry = 6;
    setting_form f;
    DataSet_open(f, model);
    std::strcpy(f.text[0], "-3");      // not unsigned: kept
    std::strcpy(f.text[1], "0");       // 0 is a size
    std::strcpy(f.text[2], "");        // empty: kept
    std::strcpy(f.text[3], "abc");     // no number: 0.0
    std::strcpy(f.text[4], " 2.5e1x"); // the leading number
    std::strcpy(f.text[8], "0.1234567");
    DataSet_ok(f, model);
    EXPECT_EQ(model.ixmx, 640);
    EXPECT_EQ(model.iymx, 0);
    EXPECT_EQ(model.rx, 5);
    EXPECT_EQ(model.ry, 0);
    EXPECT_EQ(model.rz, 25);
    EXPECT_EQ(model.wdu, 0.1234567);

    // OK reads only what was edited: an untouched field keeps every digit,
    // even a size that shows as another number
    model.wdu = 0.1234567;
    model.rx = 1.0 / 3;
    model.ixmx = -2;
    DataSet_open(f, model);
    EXPECT_FALSE(DataSet_ok(f, model));
    EXPECT_EQ(model.wdu, 0.1234567);
    EXPECT_EQ(model.rx, 1.0 / 3);
    EXPECT_EQ(model.ixmx, -2);
    std::strcpy(f.text[2], "0.25");
    EXPECT_TRUE(DataSet_ok(f, model));
    EXPECT_EQ(model.rx, 0.25);
    EXPECT_EQ(model.wdu, 0.1234567);
}

// A dot size below 1 would give a picture of no dots: OK is refused with
// koru-cli's words and the dialog asked again with the texts as typed;
// nothing is written until it is fixed, or at all on Cancel.
TEST_F(Settings, NoDotsIsRefused)
{
    model.ixmx = 640;
    model.iymx = 480;
    std::vector<std::string> seen;
    ui.on_setting = [&](setting_form &f) {
        seen.push_back(f.text[0]);
        std::strcpy(f.text[0], seen.size() == 1 ? "0" : "320");
        std::strcpy(f.text[2], "7");
        return 1;
    };
    bool changed = false;
    EXPECT_EQ(CallDataSet(s, model, &changed), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"640", "0"}));
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_EQ(ui.msgs[0].text.substr(0, 56),
              "The picture size 0 x 480 has no dots; nothing to render.");
    EXPECT_EQ(log_text(s.said), ui.msgs[0].text); // kept in the session's log
    EXPECT_TRUE(changed && model.ixmx == 320 && model.rx == 7);

    int calls = 0;
    ui.on_setting = [&](setting_form &f) {
        std::strcpy(f.text[1], " 00 ");
        return ++calls == 1; // OK, then Cancel
    };
    EXPECT_EQ(CallDataSet(s, model), 0);
    EXPECT_EQ(model.iymx, 480);

    // a size the scene file gave is refused too, until it is set; one
    // that is no number keeps it
    setting_form f;
    model.iymx = 0;
    DataSet_open(f, model);
    EXPECT_NE(DataSet_refusal(f), "");
    std::strcpy(f.text[1], "x");
    EXPECT_NE(DataSet_refusal(f), "");
    std::strcpy(f.text[1], "1");
    EXPECT_EQ(DataSet_refusal(f), "");
}

TEST_F(Settings, DecimalFieldsIgnoreTheLocaleAndReadFiftyNineCharacters)
{
    const char *old = std::setlocale(LC_NUMERIC, nullptr);
    std::string keep = old ? old : "C";
    bool de = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    setting_form f;
    DataSet_open(f, model);
    std::strcpy(f.text[2], "1.5");
    // 59 characters are read: the 60th digit is not
    std::string long_text = "1" + std::string(58, '0') + "9";
    std::strcpy(f.text[3], long_text.c_str());
    DataSet_ok(f, model);
    std::setlocale(LC_NUMERIC, keep.c_str());
    EXPECT_EQ(model.rx, 1.5) << (de ? "with de_DE" : "C only");
    EXPECT_EQ(model.ry, 1e58);
}

TEST_F(Settings, HugeValuesSurviveOk)
{
    model.rx = 3e60;
    setting_form f;
    DataSet_open(f, model);
    EXPECT_LE(std::strlen(f.text[2]), 59u);
    DataSet_ok(f, model);
    EXPECT_EQ(model.rx, 3e60);
}

TEST_F(Settings, CancelWritesNothing)
{
    model.ixmx = 640;
    ui.on_setting = [](setting_form &f) {
        std::strcpy(f.text[0], "10");
        return 0;
    };
    EXPECT_EQ(CallDataSet(s, model), 0);
    EXPECT_EQ(model.ixmx, 640);
}

TEST_F(Settings, ZoomIsClampedAfterTheDialog)
{
    EXPECT_EQ(config("30"), 1);
    EXPECT_EQ(d.zoom_size, 50);
    config("1000");
    EXPECT_EQ(d.zoom_size, 400);
    config("-5");
    EXPECT_EQ(d.zoom_size, 400);
    config("");
    EXPECT_EQ(d.zoom_size, 400);
    config("155");
    EXPECT_EQ(d.zoom_size, 155);
    // Cancel writes no zoom, but the clamp still runs
    d.zoom_size = 20;
    EXPECT_EQ(config("300", 0), 0);
    EXPECT_EQ(d.zoom_size, 50);
}

TEST_F(Settings, ModeIsSetByTheRadioButtonAndStaysAfterCancel)
{
    d.mode = 2;
    d.zoom_size = 150;
    ui.on_config = [this](config_form &f) {
        EXPECT_EQ(f.checked, 104);
        EXPECT_STREQ(f.zoom, "150");
        ConfSet_radio(f, 103);
        EXPECT_EQ(d.mode, 1);
        return 0;
    };
    CallConfSet(ui, d);
    EXPECT_EQ(d.mode, 1);
}

TEST(PrintScale, SmallerWholeQuotient)
{
    EXPECT_EQ(print_scale(4800, 6600, 640, 480), 7);
    EXPECT_EQ(print_scale(6600, 4800, 640, 480), 10);
    EXPECT_EQ(print_scale(500, 6600, 640, 480), 0);
    EXPECT_EQ(print_scale(4800, 6600, 0, 480), 0);
}

TEST(PrintScale, ZoomCountsInTensAndChangesTheFactor)
{
    display_state d;
    d.zoom_size = 155;
    int w, h;
    zoomed_size(d, 640, 480, w, h);
    EXPECT_EQ(w, 960);
    d.zoom_size = 150;
    zoomed_size(d, 640, 480, w, h);
    EXPECT_EQ(print_scale(4800, 6600, w, h), 5);
    d.zoom_size = 200; // 1280 x 960 is held to 1024 x 768
    zoomed_size(d, 640, 480, w, h);
    EXPECT_EQ(print_scale(4800, 6600, w, h), 4);
}

} // namespace
