// The texts of the 91 menu rows in both languages, as Shift-JIS padded to the row width.
#include "sequencer/shell/menu_texts.h"

#include "common/text_sjis.h"

#include <cstring>
#include <string>

MenuTexts g_menu_texts;

namespace {

// Written in UTF-8 here and converted once at start. Rows longer than a letter and a colon
// are padded with blanks to MENU_TEXT_WIDTH bytes.
// clang-format off
const char* const JAPANESE[MENU_PAGES * MENU_ROWS] = {
    // page 0
    "A: 終わっちゃうよ　！！  Exit",
    "B: -----------------------------------------",
    "C: まだ終わんないかんね",
    "D: -----------------------------------------",
    "E: 音源初期化　！！　Init",
    "F: 鳴りやみなさい　！！　Act",
    "G: -----------------------------------------",
    "H: マイクロスケール ノーマル",
    "I: マイクロプログラムチェンジ ノーマル",
    "J: -----------------------------------------",
    "K: バージョン情報        Ver Info",
    "L: 作者ページへ          HomePage",
    "M: ヘルプ                HELP",
    // page 1
    "A: ソング・バンク・セレクト Song Bank Select",
    "B: -----------------------------------------",
    "C: ソング・タイトルを変更・挿入する　  Title",
    "D: -----------------------------------------",
    "E: ファイル書き込みと着メロ作成          MLD",
    "F: -----------------------------------------",
    "G: 音色設定ファイル書き込み  Init File Write",
    "H: -----------------------------------------",
    "I: ファイル　上書き             Over Write",
    "J: -----------------------------------------",
    "K: ファイル　書き込み           File Write",
    "L: -----------------------------------------",
    "M: ファイル　読み込み           File Read",
    // page 2
    "A: MIDI INからのデータをMIDI OUTへ出力する",
    "B: MIDI IN フィルター                Filter",
    "C: MIDI OUT Channelを変更する",
    "D: 入力ポートの指定            MIDI IN  Port",
    "E: 出力ポートの指定            MIDI OUT Port",
    "F: マルチポ－ト設定               Multi Port",
    "G: -----------------------------------------",
    "H: オプション・ユーテリティー        Option",
    "I: -----------------------------------------",
    "J: メトロノ－ム                   metronome",
    "K: -----------------------------------------",
    "L: Infomation",
    "M: マイクロ・スケール           Scale change",
    // page 3
    "A: ミュート トラックの指定       Mute　Track",
    "B: ミュート チャンネルの指定   Mute　Channel",
    "C: MIDI OUT Channelを変更する",
    "D: -----------------------------------------",
    "E: 音色 チェンジ              Program change",
    "F: 音色バリエーション チェンジ   Bank change",
    "G: 音色バリエーション LSB        Bank change",
    "H: リバーブ コーラス Vol Pan  Reverb　Chorus",
    "I: GS・パラメータ　　  　　　      Parameter",
    "J: -----------------------------------------",
    "K: 早回し デジタモ ドン　！！          SPEED",
    "L: 演奏設定                          KARAOKE",
    "M: ダイレクト                    DIRECT MEAS",
    // page 4
    "A: 各トラック同士をミックスする Mix",
    "B: 演奏のバラツキを修正する     Quantize",
    "C: 任意の拍子の空小節を作る     Create",
    "D: 小節を好きな回数コピーする   Copy",
    "E: 演奏データを削除する         Delete",
    "F: 全トラックの演奏データ挿入   Insert",
    "G: 小節内の演奏データを消す     Erase",
    "H: トラックの移調               Transpose",
    "I: 結合                 Combine Track",
    "J: 消去                   Clear Track",
    "K: 移動                    Move Track",
    "L: -----------------------------------------",
    "M: 伴奏を自動作成する      Auto Accompaniment",
    // page 5
    "A: フィルター セット",
    "B: -----------------------------------------",
    "C: EDIT MODE",
    "D: トラックの変更・書き込みトラック設定 Track",
    "E: -----------------------------------------",
    "F: IN　→　フィルター　→　OUT",
    "G: POLY　→　→　→　MONO",
    "H: イベントタイム 変更    EVENT TIME CHEANGE",
    "I: -----------------------------------------",
    "J: インサート　音色・エフェクト　INS PROG CH",
    "K:",
    "L:",
    "M: EXCLUSIVE EDIT",
    // page 6
    "A: Real Time Recording 書き込みトラック設定",
    "B: STEP Recording",
    "C: -----------------------------------------",
    "D:",
    "E:",
    "F:",
    "G:",
    "H:",
    "I:",
    "J:",
    "K:",
    "L:",
    "M:",
};

const char* const ENGLISH[MENU_PAGES * MENU_ROWS] = {
    // page 0
    "A: Exit",
    "B: Save and Exit",
    "C: Continue",
    "D: -----------------------------------------",
    "E: Initialize",
    "F: ACT",
    "G: -----------------------------------------",
    "H: Normal Scale",
    "I: Normal Program change",
    "J: -----------------------------------------",
    "K: Ver Info",
    "L: Web Page",
    "M: HELP",
    // page 1
    "A: Song Bank Select",
    "B: -----------------------------------------",
    "C: Title change",
    "D:",
    "E:",
    "F:",
    "G: Initialize File Write",
    "H: -----------------------------------------",
    "I: Over Write",
    "J: -----------------------------------------",
    "K: File Write",
    "L: -----------------------------------------",
    "M: File Read",
    // page 2
    "A: MIDI IN to MIDI OUT",
    "B: MIDI IN Filter",
    "C: Change MIDI OUT Channel",
    "D: MIDI IN  Port",
    "E: MIDI OUT Port",
    "F: Multi Port",
    "G: -----------------------------------------",
    "H: Option",
    "I: -----------------------------------------",
    "J: Metronome",
    "K: -----------------------------------------",
    "L: Infomation",
    "M: Scale change",
    // page 3
    "A: Mute Track",
    "B: Mute Channel",
    "C: Change MIDI OUT Channel",
    "D: -----------------------------------------",
    "E: Program change",
    "F: Bank change",
    "G: Bank change LSB",
    "H: Vol Pan  Reverb　Chorus",
    "I: GS Parameter",
    "J: -----------------------------------------",
    "K: SPEED",
    "L: KARAOKE",
    "M: DIRECT MEAS",
    // page 4
    "A: Mix",
    "B: Quantize",
    "C: Create",
    "D: Copy",
    "E: Delete",
    "F: Insert",
    "G: Erase",
    "H: Transpose",
    "I: Combine Track",
    "J: Clear Track",
    "K: Move Track",
    "L: -----------------------------------------",
    "M: Auto Accompaniment",
    // page 5
    "A: Filter",
    "B: -----------------------------------------",
    "C: EDIT MODE",
    "D: Change Track",
    "E: -----------------------------------------",
    "F: IN >> Filter >> OUT",
    "G: POLY >>> MONO",
    "H: EVENT TIME CHEANGE",
    "I: -----------------------------------------",
    "J: Insert Program change",
    "K:",
    "L:",
    "M: EXCLUSIVE EDIT",
    // page 6
    "A: Real Time Recording",
    "B: STEP Recording",
    "C: -----------------------------------------",
    "D:",
    "E:",
    "F:",
    "G:",
    "H:",
    "I:",
    "J:",
    "K:",
    "L:",
    "M:",
};
// clang-format on

void text_store(char* out, const char* utf8) {
    std::string text = utf8_to_sjis(utf8);
    size_t length = sjis_copy_cut(out, text.data(), text.size(), MENU_TEXT_WIDTH);
    if (length > 3) {
        memset(out + length, ' ', MENU_TEXT_WIDTH - length);
        out[MENU_TEXT_WIDTH] = '\0';
    }
}

} // namespace

void menu_texts_load(bool japanese) {
    for (int i = 0; i < MENU_PAGES * MENU_ROWS; i++) {
        text_store(g_menu_texts.menu_text[i], JAPANESE[i]);
        if (!japanese) {
            text_store(g_menu_texts.menu_text[i], ENGLISH[i]);
        }
    }
}
