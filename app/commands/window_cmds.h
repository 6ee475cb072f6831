// window_cmds.h - the commands of the window's own settings and boxes:
// "Setting(&T)", "Config(&C)", "Printer(&P)", "About(&A)", and Config
// without its dialog.
//
// cmd_setting: the SETTING dialog (setting.h) on the model; a camera
// changed there is a camera moved by hand (camera_moves). cmd_config: the
// CONFIG dialog (config.h), the picture shown again at its zoom and mode.
// cmd_print: the picture printed (print.h), then shown again; nothing
// without a picture. zoom_by(s, +1 / -1) steps the zoom through 50, 75,
// 100, 150, 200, 300, 400 (0: back to 100); set_mode(s, m) picks the
// display mode; both show a picture there is again, and neither runs
// while a render does.
#pragma once

struct session;

void cmd_setting(session &s);
void cmd_config(session &s);
void cmd_print(session &s);
void cmd_about(session &s);
void zoom_by(session &s, int dir);
void set_mode(session &s, int m);
