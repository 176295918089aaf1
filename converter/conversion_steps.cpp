// The conversions as the user runs them: each writer's or reader's steps, the questions
// between them, the messages their results call for, and the file written last.
#include "converter/converter.h"
#include "converter/ringtone_io.h"
#include "converter/smf_prepare.h"

namespace {

// Why the preparation stopped, in the words the converter has always used.
void prep_result_show(PrepResult result) {
    switch (result) {
    case PrepResult::note_out_of_range:
        converter_message("音域の範囲外です", "A note is scale over.");
        break;
    case PrepResult::too_many_voices:
        converter_message("同時発音数が多いので自動分離できません。",
                          "There are too many tones and it is not made automatic separation.");
        break;
    case PrepResult::no_drum_slot:
        converter_message("同時発音数が多いので、自動分離できません。",
                          "There are too many tones and it is not made automatic separation.");
        break;
    case PrepResult::ready:
    case PrepResult::out_of_memory:
        break;
    }
}

bool version1_chosen() {
    if (g_converter.version1_answer != PresetAnswer::ask) {
        return g_converter.version1_answer == PresetAnswer::yes;
    }
    return converter_ask("MFiバージョン１で作成可能です。\nバージョン１にしますか？",
                         "It can create by the MFi version 1.\nIs it made a version 1?");
}

void size_warning_show(MfiSizeWarning warning) {
    switch (warning) {
    case MfiSizeWarning::over_10k:
        converter_message("サイズが10Kを超えました。", "Size exceeded 10K.");
        break;
    case MfiSizeWarning::over_60k:
        converter_message("サイズが60Kを超えました。", "Size exceeded 60K.");
        break;
    case MfiSizeWarning::over_75k:
        converter_message("サイズが75Kを超えました。", "Size exceeded 75K.");
        break;
    case MfiSizeWarning::over_100k:
        converter_message("サイズが100Kを超えました。", "Size exceeded 100K.");
        break;
    case MfiSizeWarning::none:
        break;
    }
}

void mfi_report_show(const MfiBuildReport& report) {
    if (report.size_exceeded) {
        converter_message("作成サイズを超えました。", "Creation size was exceeded.");
    }
    if (report.size_cut) {
        converter_message("作成サイズが大きいので自動的にカットします。",
                          "Since creation size is large, it cuts automatically.");
    }
    if (report.separated) {
        converter_message("自動分離しました。", "Automatic separation is successful.");
    }
    if (report.velocity_fixed) {
        converter_message("ベロシティーは変換しませんでした。", "Verocity is fix.");
    }
    size_warning_show(report.size_warning);
    // Where no clipboard took the text (no display), saying so would be untrue.
    if (report.mail_size && report.mail_on_clipboard) {
        converter_message("メールデータをクリップボードに作成。",
                          "Mail data is created to a clip board.");
    }
}

// The ringtone buffer over the output path, once the user agrees to overwrite it.
bool ringtone_save() {
    if (!confirm_overwrite()) {
        return false;
    }
    if (!converter_file_write(g_converter.input_path, g_ringtone.data, g_ringtone.write_pos)) {
        return false;
    }
    g_converter.output_written = true;
    return true;
}

// A reader's built SMF over the output path, once the user agrees to overwrite it.
RingtoneReadReport smf_save(RingtoneReadReport report) {
    if (report.result != RingtoneReadResult::built) {
        return report;
    }
    if (!confirm_overwrite() || !smf_single_track_write(g_converter.input_path)) {
        return {RingtoneReadResult::not_written, 0};
    }
    g_converter.output_written = true;
    return {RingtoneReadResult::written, 0};
}

} // namespace

int mfi_write() {
    PrepResult prep = mfi_begin();
    if (prep != PrepResult::ready) {
        prep_result_show(prep);
        return 0;
    }
    bool version1 = g_prep.version1_possible && version1_chosen();
    MfiBuildReport report = mfi_build(version1);
    if (report.prep != PrepResult::ready) {
        prep_result_show(report.prep);
        return 0;
    }
    mfi_report_show(report);
    if (!ringtone_save()) {
        return 0;
    }
    return report.mail_tool ? 1 : 0;
}

void mmf_write() {
    PrepResult prep = mmf_build();
    if (prep != PrepResult::ready) {
        prep_result_show(prep);
        return;
    }
    ringtone_save();
}

RingtoneReadReport ringtone_to_smf() {
    return smf_save(mld_read());
}

RingtoneReadReport mmf_to_smf() {
    return smf_save(mmf_read());
}
