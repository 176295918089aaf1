// The overwrite question: asked whenever the target exists, captioned "メッセージ", the
// path before the question.
#include "common/overwrite_question.h"

#include "common/messages.h"
#include "common/text_sjis.h"
#include "platform/platform.h"

#include <string>

OverwriteQuestion g_overwrite_question;

void overwrite_question_reset() {
    g_overwrite_question = OverwriteQuestion{};
}

bool overwrite_confirm(const char* path, PresetAnswer preset, OverwriteWording wording) {
    std::string agreed;
    agreed.swap(g_overwrite_question.agreed_path);
    if (!platform_file_exists(path) || (!agreed.empty() && agreed == path)) {
        return true;
    }
    if (preset != PresetAnswer::ask) {
        return preset == PresetAnswer::yes;
    }
    // A path of 260 bytes may grow when turned into display text.
    char shown[1024];
    platform_path_display_text(path, shown, sizeof shown);
    std::string text = shown;
    if (wording == OverwriteWording::same_in_both_languages) {
        text += utf8_to_sjis("\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？");
    } else if (platform_system_language() == UiLanguage::japanese) {
        text += utf8_to_sjis("\n\n同じ名前のファイルがあります。\n上書き保存しますか？");
    } else {
        text += "\n\nAlready SameName Of File. over write ?";
    }
    return ask_yes_no(text.c_str());
}

bool overwrite_confirm_ahead(const char* path) {
    g_overwrite_question.agreed_path.clear();
    if (!overwrite_confirm(path)) {
        return false;
    }
    g_overwrite_question.agreed_path = path;
    return true;
}
