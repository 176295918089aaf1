// The converter's one run: its state, messages in the user's language, the input path and
// the choice of conversion by file name, and the start of the mail tool afterwards.
#include "common/messages.h"
#include "common/status_line.h"
#include "common/text_sjis.h"
#include "converter/converter.h"
#include "converter/mail_text.h"
#include "converter/ringtone_io.h"
#include "gui/file_chooser.h"
#include "gui/modal.h"
#include "platform/platform.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"

#include <cstdio>
#include <cstring>
#include <string>

ConverterShell g_converter;

namespace {

// Names the mail tool may have beside the program: the Linux name, then the Windows one.
constexpr const char* MAIL_TOOL_NAMES[] = {"tonepost", "TONEPOST.EXE"};

void message_buffer_fill(char* buffer, const char* utf8) {
    std::string text = utf8_to_sjis(utf8);
    sjis_copy_cut(buffer, text.c_str(), text.size(), CONVERTER_MESSAGE_SIZE - 1);
}

} // namespace

void converter_reset() {
    g_converter = ConverterShell{};
    mail_text_reset();
    ringtone_reset();
}

void melconv_reset_all() {
    songcore_reset_all(CONVERTER_STORE);
    // The converter's message texts are shorter than the sequencer's.
    g_message_boxes.buffer_size = MESSAGE_BUFFER_CONVERTER;
    converter_options_reset();
    converter_reset();
    modal_reset();
    file_chooser_reset();
}

void converter_message(const char* japanese, const char* english) {
    char message_ja[CONVERTER_MESSAGE_SIZE];
    char message_en[CONVERTER_MESSAGE_SIZE];
    message_buffer_fill(message_ja, japanese);
    message_buffer_fill(message_en, english != nullptr ? english : japanese);
    // Messages without an English twin are shown in Japanese whatever the language.
    bool japanese_shown = g_converter.ui_japanese || english == nullptr;
    show_message("%s", japanese_shown ? message_ja : message_en);
}

bool converter_ask(const char* japanese, const char* english) {
    std::string text = utf8_to_sjis(g_converter.ui_japanese ? japanese : english);
    return ask_yes_no(text.c_str());
}

void input_path_set_extension(const char* letters) {
    size_t n = strlen(g_converter.input_path);
    if (n >= 3) {
        memcpy(g_converter.input_path + n - 3, letters, 3);
    }
}

char input_path_mark() {
    size_t n = strlen(g_converter.input_path);
    return n >= 5 ? g_converter.input_path[n - 5] : '\0';
}

int confirm_overwrite() {
    return overwrite_confirm(g_converter.input_path, g_converter.overwrite_answer) ? 1 : 0;
}

bool command_line_take(const char* command_line) {
    g_converter.input_path[0] = '\0';
    size_t n = strlen(command_line);
    if (n == 0) {
        g_converter.show_options = true;
        return true;
    }
    const char* from = command_line;
    if (command_line[0] == '"') {
        from++;
        n = n >= 2 ? n - 2 : 0;
    }
    // A cut path would name another file, which would then be converted and overwritten.
    if (n > CONVERTER_PATH_SIZE - 1) {
        return false;
    }
    memcpy(g_converter.input_path, from, n);
    g_converter.input_path[n] = '\0';
    return true;
}

namespace {

void mail_tool_start() {
    for (const char* name : MAIL_TOOL_NAMES) {
        char tool[CONVERTER_PATH_SIZE * 2];
        snprintf(tool, sizeof tool, "%s%c%s", g_converter.program_directory,
                 PLATFORM_PATH_SEPARATOR, name);
        if (platform_file_exists(tool)) {
            platform_start_program(tool, g_converter.input_path);
            return;
        }
    }
}

bool smf_input() {
    size_t n = strlen(g_converter.input_path);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", g_converter.input_path);
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        return false;
    }
    char mark = g_converter.input_path[n - 5];
    bool success;
    if (mark == '#' || g_options.model == 2) {
        mmf_write();
        // The MMF writer has no failure of its own: the mail tool starts after it anyway.
        success = true;
    } else {
        success = mfi_write() == 1;
    }
    if (success) {
        mail_tool_start();
    }
    return g_converter.output_written;
}

// The reverse conversions' messages, in the words each format has always used.
void ringtone_read_report(RingtoneReadReport report, bool mmf) {
    switch (report.result) {
    case RingtoneReadResult::cannot_open:
        // The same report as for a MIDI file that cannot be opened.
        show_status("file not found");
        break;
    case RingtoneReadResult::unknown_command: {
        char text[CONVERTER_MESSAGE_SIZE];
        char text_en[CONVERTER_MESSAGE_SIZE];
        snprintf(text, sizeof text, "%04X%s", report.position,
                 "未知のコマンドがあるため変換できません");
        snprintf(text_en, sizeof text_en, "%04X%s", report.position,
                 "Since there is a strange command, it is not convertible.");
        converter_message(text, text_en);
        break;
    }
    case RingtoneReadResult::damaged:
        converter_message(mmf ? "正常なデータではありません。" : "DATA ERROR", nullptr);
        break;
    case RingtoneReadResult::written:
    case RingtoneReadResult::not_written:
    case RingtoneReadResult::built:
    case RingtoneReadResult::not_a_ringtone:
        break;
    }
}

} // namespace

bool run_conversion() {
    g_converter.output_written = false;
    size_t n = strlen(g_converter.input_path);
    if (n <= 4) {
        return false;
    }
    char c = g_converter.input_path[n - 2];
    if (c == 'I' || c == 'i') {
        return smf_input();
    }
    const char* ext = g_converter.input_path + n - 3;
    bool mmf = strcmp(ext, "MMF") == 0 || strcmp(ext, "mmf") == 0;
    RingtoneReadReport report = mmf ? mmf_to_smf() : ringtone_to_smf();
    ringtone_read_report(report, mmf);
    if (!mmf && report.result == RingtoneReadResult::written && g_options.play == 1) {
        platform_open_document(g_converter.input_path);
    }
    return g_converter.output_written;
}
