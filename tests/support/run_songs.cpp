// The songs of the whole-program runs, built with the SMF builder.
#include "tests/support/run_songs.h"

#include "platform/text_convert.h"

Bytes tour_song() {
    return smf_file(1, 480,
                    {concat({meta_text(0, 0x03, "Menu Tour"), tempo_event(0, 500000),
                             time_signature(0, 3, 2), end_of_track(1440 * 4)}),
                     concat({meta_text(0, 0x03, "Melody"), ev(0, {0xC0, 73}),
                             ev(0, {0x90, 72, 100}), ev(480, {0x80, 72, 0}), ev(0, {0x90, 76, 90}),
                             ev(480, {0x80, 76, 0}), end_of_track()}),
                     concat({meta_text(0, 0x03, "Bass"), ev(0, {0xC1, 33}), ev(0, {0x91, 36, 110}),
                             ev(960, {0x81, 36, 0}), end_of_track()}),
                     concat({meta_text(0, 0x03, "Drums"), ev(0, {0xC9, 0}), ev(0, {0x99, 36, 120}),
                             ev(120, {0x89, 36, 0}), end_of_track()})});
}

Bytes japanese_title_song() {
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, utf8_to_sjis("デモ曲　ＺＢ４７の歌")), end_of_track(1920)})});
}
