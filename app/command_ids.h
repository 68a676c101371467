// command_ids.h - the identifiers of the main window's commands and controls,
// kept as data on every action and widget so that code and tests find them by
// identifier rather than by text or position.
#pragma once

namespace App {

enum CommandId : int {
    ID_FILE_OPEN = 57601,
    ID_PLAY = 32774,
    ID_PAUSE = 32775,
    ID_RESET = 32776,
    ID_SAVE_STATE = 32778,
    ID_LOAD_STATE = 32779,
    ID_OPTIONS = 32773,
    ID_APP_EXIT = 32772,
    ID_APP_ABOUT = 57664,
    ID_GLOBAL_SETTINGS = 33000,
    ID_FIRST_EMULATOR = 33001,  // one per emulator, at most kMaxEmulatorItems
};

inline constexpr int kMaxEmulatorItems = 7;

// Child windows of the frame.
inline constexpr int kViewId = 0xE900;
inline constexpr int kCommandBarId = 0xE800;

// The property that carries a control's identifier ("controlId", an int).
inline constexpr char kControlIdProperty[] = "controlId";

}  // namespace App
