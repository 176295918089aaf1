// What the list panel files share: the rows they draw on, the click geometry and the
// drawing and click functions of each panel.
// Implemented in: bank_panel.cpp, channel_panel.cpp, device_panel.cpp, grid_panel.cpp,
// info_panel.cpp, list_panels.cpp, track_panel.cpp.
#pragma once
#include "sequencer/shell/screen_layout.h"

#include <cstdint>

constexpr int COLOUR_BLUE = 1;
constexpr int COLOUR_RED = 2;
constexpr int COLOUR_BRIGHT_RED = 10;
// The play switch of an audible track or channel, as the store starts them.
constexpr uint8_t PLAY_ON = 0xFF;

enum GridKind { GRID_PROGRAM = 0, GRID_BANK = 1, GRID_BANK_LSB = 2 };

// The current MIDI channel, 0..15.
int current_channel_index();
// With alt_mode a choice also sounds the last played note on the current channel until the
// button is released.
void audition_if_alt();

void bank_panel_draw();
void bank_panel_click(int y);

enum class ChannelList { select, mute };
void channel_panel_draw(ChannelList kind);
void channel_panel_click(ChannelList kind, int y);
// The channel's value of the controller again, where one of the columns shows it.
void channel_panel_value_draw(int channel_index, int controller);

enum class TrackList { ports, mutes, select };
void track_panel_draw(TrackList kind);
void track_panel_click(TrackList kind, int x, int y);

void in_device_panel_draw();
void in_device_panel_click(int y);
void out_port_panel_draw();
void out_port_panel_click(int x, int y);
void speed_panel_draw();
void speed_panel_click(int y);

void grid_panel_draw(GridKind kind);
void grid_panel_click(GridKind kind, int x, int y);

void info_panel_draw();
void about_panel_draw();
