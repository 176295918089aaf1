// The question both programs ask before a file they write replaces one already there.
#pragma once

// Answer given in advance to a question (by a command-line flag); ask when none.
enum class PresetAnswer { ask, yes, no };

// Songs and ringtones ask in Japanese whatever the interface language; the tone
// initialisation file asks in the interface's language, in words of its own.
enum class OverwriteWording { same_in_both_languages, interface_language };

// True when a file may be written at `path`: nothing is there, or the user (or the answer
// given in advance) agrees to replace it. Whether the file is there counts, not whether it
// can be read: a write replaces the old file by a rename, which succeeds over a file this
// user may not read.
bool overwrite_confirm(const char* path, PresetAnswer preset = PresetAnswer::ask,
                       OverwriteWording wording = OverwriteWording::same_in_both_languages);
