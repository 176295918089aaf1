// The ringtone converter: its options, its one-run state and the conversions it offers.
// Every conversion works on the input path and the converter's song store (song slot 0).
// Implemented in: converter_options.cpp, converter_shell.cpp, conversion_steps.cpp,
// mfi_writer.cpp, mld_reader.cpp, mmf_reader.cpp, mmf_writer.cpp.
#pragma once

#include "common/overwrite_question.h"
#include "converter/smf_prepare.h"

#include <cstddef>
#include <cstdint>

constexpr size_t CONVERTER_PATH_SIZE = 261;
constexpr size_t OPTION_TEXT_SIZE = 256; // "vers" and "a0": up to 255 characters
constexpr size_t CONVERTER_MESSAGE_SIZE = 168;

// The option set kept in MELCONV.INI (section "OP", and "MMF" for the last three).
// Single-threaded, like the whole converter.
struct ConverterOptions {
    char vers[OPTION_TEXT_SIZE] = {}; // MFi version text for MFi3 output
    int model = 0;                    // 0 i-mode MLD, 1 au PMD, 2 J-PHONE MMF, 3 MLD as MFi3
    int vel = 0;                      // notes carry velocity
    int separation = 0;               // automatic separation of voices
    int link = 0;
    int disp = 0; // always show the options at start
    int play = 0; // open an SMF written from a ringtone
    int pan = 0;
    int exp = 0;
    int pb = 0;
    int mod = 0;
    int autocut = 0;   // cut-off in units of 1024 bytes of merged events; 1 means 300 bytes
    int toneshift = 0; // semitones, -12..12
    int msvol = 0;     // 0..127
    int message = 0;   // kept and saved; no step consults it
    int m2 = 0;
    char a0[OPTION_TEXT_SIZE] = {};
    int pmmf = 0; // value of the two channel-status bytes of every MMF score track
};

// One run of the converter. Single-threaded: the whole conversion runs before the program ends.
struct ConverterShell {
    char input_path[CONVERTER_PATH_SIZE] = {}; // the writers change its extension in place
    bool show_options = false;
    bool ui_japanese = false;
    char program_directory[CONVERTER_PATH_SIZE] = {};
    PresetAnswer overwrite_answer = PresetAnswer::ask;
    PresetAnswer version1_answer = PresetAnswer::ask;
    bool output_written = false; // the last conversion wrote its file
};

extern ConverterOptions g_options;
extern ConverterShell g_converter;

// Options back to their defaults; shell state, mail text and ringtone buffer to their start.
void converter_options_reset();
void converter_reset();
// The converter's reset list, at the program's start and before every test: the song
// layer's list with an empty converter store, the converter's message size, then the
// options and the shell. The writers and readers reset their own records as they begin.
void melconv_reset_all();

// Shows the message of the user's language (English when `english` is null).
void converter_message(const char* japanese, const char* english);
// Asks the question of the user's language; true for Yes.
bool converter_ask(const char* japanese, const char* english);

void options_load();
// False when the INI file could not be written.
bool options_save();
// The integer option named key (an INI key): its field and range; 0 when there is none.
int option_lookup(const char* key, int** field, int* low, int* high);
// Path of MELCONV.INI beside the program.
void options_path(char* out, size_t out_size);

// Replaces the last three characters of the input path (the extension letters).
void input_path_set_extension(const char* letters);
// The character just before the extension ('.' position - 1 of the last 4), or 0.
char input_path_mark();
// 1 when the output path does not exist or the user agrees to overwrite it, else 0.
int confirm_overwrite();

// Takes the input path from a raw command line (quoted paths lose their quotes); false, with
// the path left empty, when it does not fit the input path.
bool command_line_take(const char* command_line);
// Routes the input path to its conversion; true when an output file was written.
bool run_conversion();

// What reading a ringtone back to SMF came to. The readers say nothing themselves and
// never write: a `built` SMF is written by the conversion step that asks before it
// overwrites, and run_conversion() tells the user.
enum class RingtoneReadResult {
    written,         // the SMF was written beside the input
    not_written,     // read whole, but the SMF was not written
    cannot_open,     // the input cannot be opened
    not_a_ringtone,  // an MLD/PMD input without the magic of one: nothing is said
    unknown_command, // an MLD/PMD command the reader does not know, at `position`
    damaged,         // cut short, lengths past the end, a wrong check sum, or no room for it
    built,           // read whole into song slot 0 as a one-track SMF, not yet written
};

struct RingtoneReadReport {
    RingtoneReadResult result = RingtoneReadResult::not_written;
    uint32_t position = 0; // byte offset of an unknown command in the file
};

// How far past the size its format's phones take an MFi/PMD file came out.
enum class MfiSizeWarning { none, over_10k, over_60k, over_75k, over_100k };

// What building an MFi/PMD file came to. The writer says nothing itself; the conversion
// step turns this into messages, in the order of the fields.
struct MfiBuildReport {
    PrepResult prep = PrepResult::ready; // anything else: nothing was built
    bool size_exceeded = false;          // the file reached the size limit, tracks closed early
    bool size_cut = false;               // the automatic cut-off closed the tracks
    bool separated = false;              // voices were separated automatically
    bool velocity_fixed = false;         // version 2 or 3 notes without velocity
    MfiSizeWarning size_warning = MfiSizeWarning::none;
    bool mail_size = false;         // an i-mode file small enough to be sent as mail text
    bool mail_on_clipboard = false; // the mail text of an i-mode file went to the clipboard
    bool mail_tool = false;         // the mail tool may start once the file is written
};

// The writers' steps, which never ask, never tell and never write the file: MFi/PMD in two
// around the question of version 1 (asked when g_prep.version1_possible is set after the
// first), MMF in one. The building steps leave the file in the ringtone buffer and give the
// input path the output's extension; mfi_build() also makes the mail text.
PrepResult mfi_begin();
MfiBuildReport mfi_build(bool version1);
PrepResult mmf_build();
// The readers' one step each: the input path's ringtone into song slot 0.
RingtoneReadReport mld_read();
RingtoneReadReport mmf_read();

// The conversions as the user runs them (input path and song store): the steps above with
// the questions between them, and the file written. mfi_write() returns 1 when the mail
// tool may start.
int mfi_write();
void mmf_write();
RingtoneReadReport ringtone_to_smf();
RingtoneReadReport mmf_to_smf();
