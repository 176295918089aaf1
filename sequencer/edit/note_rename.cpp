// Note keys changed in place in a track's working form: a note-on gets its new key at once,
// its note-off only once the walk has passed it, so later notes still find their partners.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_normalize.h"

// Writes the deferred keys of the note-offs that lie behind `walk_pos`.
void renames_apply_passed(uint32_t walk_pos) {
    NoteRenames& r = g_edit.renames;
    int i = 0;
    while (i < r.count) {
        if (r.pos[i] < walk_pos) {
            g_song.arena[r.pos[i]] = r.note[i];
            r.count--;
            r.pos[i] = r.pos[r.count];
            r.note[i] = r.note[r.count];
        } else {
            i++;
        }
    }
}

void renames_apply_all() {
    renames_apply_passed(UINT32_MAX);
}

namespace {

// A note-off renamed at once would be taken as the partner of a later note-on of its new
// key, so its key is written only when the walk has passed it. A full list (more notes
// sounding than it holds) first gives up what the walk has passed, and only then writes at
// once.
void rename_defer(uint32_t walk_pos, uint32_t key_pos, uint8_t note) {
    NoteRenames& r = g_edit.renames;
    if (r.count == NOTE_RENAMES_MAX) {
        renames_apply_passed(walk_pos);
    }
    if (r.count == NOTE_RENAMES_MAX) {
        g_song.arena[key_pos] = note;
        return;
    }
    r.pos[r.count] = key_pos;
    r.note[r.count] = note;
    r.count++;
}

} // namespace

// A note-on and its note-off get a new key; the note-off is found among the keys as they
// stood before the walk.
void note_set(const TrackWalk& after_on, const TrackEvent& on, int note, int velocity) {
    NoteOffMatch match = note_off_find(after_on, on);
    g_song.arena[on.data_pos] = static_cast<uint8_t>(note);
    if (velocity >= 0) {
        g_song.arena[on.data_pos + 1] = static_cast<uint8_t>(velocity);
    }
    if (match.found) {
        rename_defer(after_on.pos, match.note_off.data_pos, static_cast<uint8_t>(note));
    }
}
