// The question both programs ask before a file they write replaces one already there.
#pragma once

#include <string>

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

// The save chooser asks the question itself (so No lets the user pick another name); the
// path it was agreed for is kept here so the writer that follows does not ask it twice.
// Window thread only: the chooser and the writer after it run there.
struct OverwriteQuestion {
    std::string agreed_path; // "" when none; taken by the next overwrite_confirm
};

extern OverwriteQuestion g_overwrite_question;

void overwrite_question_reset();
// Asks about `path` now and, on Yes, lets the next overwrite_confirm of that path pass
// without asking; true for Yes (or when nothing is there).
bool overwrite_confirm_ahead(const char* path);
