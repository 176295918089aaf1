// Note, tone, drum-set and key names and the full-width number labels, written in UTF-8 here
// and converted to Shift-JIS once at start.
#include "sequencer/shell/name_tables.h"

#include "common/text_sjis.h"

#include <cstring>
#include <string>

NameTables g_name_tables;

namespace {

// clang-format off
const char* const MELODIC[128] = {
    "Piano 1", "Piano 2", "Piano 3", "Honky-Tonk", "E.Piano 1", "E.Piano 2", "Harpsichord",
    "Clav.", "Celesta", "Glockenpiel", "Music box", "Vibraphone", "Marimba", "Xylophone",
    "Tubular-bell", "Santur", "Organ 1", "Organ 2", "Organ 3", "Church.Org 1", "Reed Organ",
    "Accordion Fr", "Harmonica", "Bandneon", "Nylon-str.Gt", "Steel-Str.Gt", "Jazz Gt.",
    "Clean Gt.", "Muted Gt.", "Overdrive Gt", "Distortion Gt", "Gt.Harmonics", "Accoustic Bs.",
    "Fingered Bs.", "Piecked Bs.", "Fretless Bs.", "Slap Bs.1", "Slap Bs.2", "Synth Bass 1",
    "Synth Bass 2", "Violin", "Viola", "Cello", "Contrabass", "Trenolo Str", "Pizzicato Str",
    "Harp", "Timpani", "Strings", "Slow Strings", "Syn.Strings 1", "Syn.Strings 2", "Choir Aaha",
    "Voice Oohs", "SynVox", "Orchestra Hit", "Trumpet", "Trombone", "Tuba", "Muted Trumpet",
    "French Horn", "Brass 1", "Synth Brass 1", "Synth Brass 2", "Soprano sax", "Alto sax",
    "Tenor sax", "Baritone sax", "Oboe", "English Horn", "Bassoon", "Clarinet", "Piccolo",
    "Flute", "Recorder", "Pan flute", "Bottle Blow", "Shakuhachi", "Whistle", "Ocarina",
    "Square Wave", "Saw Wave", "Syn.Calliope", "Chiffer Lead", "Charang", "Solo Vox",
    "5th Saw Wave", "Bass＆Lead", "Fantasia", "Warm Pad", "Polysynth", "Spase Voice",
    "Bowed Glass", "Metal Pad", "Halo Pad", "Sweep Pad", "Ice Rain", "Soundtrack", "Crystal",
    "Atmosphere", "Brightness", "Goblin", "Echo Drop", "Star Theme", "Sitar", "Banjo",
    "Shamisen", "Koto", "Kalimba", "Bag Pipe", "Fiddle", "Shanai", "Tinkle Bell", "Agogo",
    "Steel Drums", "Woodblock", "Taiko", "Melo Tom 1", "Synth Drum", "ReverseCym.",
    "Gt.GreNoise", "Gl.Keyclick", "Seahore", "Bird", "Telephone 1", "Helicopter", "Applause",
    "Gun Shot",
};
// clang-format on

// Drum sets named by ranges of programs: each entry covers `first` up to the next entry.
struct DrumRange {
    int first;
    const char* name;
};

const DrumRange DRUM_SETS[] = {
    {0, "Standard 1"},      {1, "Standard 2"},      {2, "Standard L/R"},   {3, "Standard set"},
    {8, "Room set"},        {9, "HIP HOP"},         {10, "JUNGLE"},        {11, "TECHNO"},
    {12, "ROOM L/R"},       {13, "HOUSE"},          {14, "Room set"},      {16, "Power set"},
    {24, "Elec. set"},      {25, "TR-808 set"},     {26, "DANCE"},         {27, "CR-78"},
    {28, "TR-606"},         {29, "TR-707"},         {30, "TR-909"},        {31, "Elec. set"},
    {32, "Jazz set"},       {33, "JAZZ L/R"},       {34, "Jazz set"},      {40, "Brush set"},
    {41, "Brush 2"},        {42, "Brush 2 L/R"},    {43, "Brush set"},     {48, "Orchestra set"},
    {49, "ETHNIC"},         {50, "KICK SNARE"},     {51, "KICK SNARE 2"},  {52, "ASIA"},
    {53, "CYMBAL CLAPS"},   {54, "GAMELAN1"},       {55, "GAMELAN2"},      {56, "SFX set"},
    {57, "RHYTHM FX"},      {58, "RHYTHM FX2"},     {59, "RHYTHM FX3"},    {60, "SFX 2"},
    {61, "VOICE"},          {62, "CYM CLAPS 2"},    {63, "SFX set"},       {64, "User set Area"},
    {112, "Ac.Stand. set"}, {113, "Ac.Elec. set"},  {114, "Ac.Brush set"}, {115, "Ac.TR-808 set"},
    {116, "Option set"},    {127, "CM=64/32l set"},
};

const char* const KEYS[12] = {"Ｃ", "Ｃ＃(Ｄ♭)", "Ｄ", "Ｄ＃(Ｅ♭)", "Ｅ", "Ｆ", "Ｆ＃(Ｇ♭)",
                              "Ｇ", "Ｇ＃(Ａ♭)", "Ａ", "Ａ＃(Ｂ♭)", "Ｂ"};

// Pitch classes: the full-width letter and whether the class is a sharp.
const char* const NOTE_LETTERS[12] = {"Ｃ", "Ｃ", "Ｄ", "Ｄ", "Ｅ", "Ｆ",
                                      "Ｆ", "Ｇ", "Ｇ", "Ａ", "Ａ", "Ｂ"};
const bool NOTE_SHARP[12] = {false, true,  false, true,  false, false,
                             true,  false, true,  false, true,  false};

const char* const FULL_DIGITS[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// Converts and stores a text of exactly `width` bytes: cut at a character boundary, then
// blank-padded.
void store_padded(char* out, const std::string& utf8, size_t width) {
    std::string text = utf8_to_sjis(utf8.c_str());
    size_t length = sjis_copy_cut(out, text.data(), text.size(), width);
    memset(out + length, ' ', width - length);
    out[width] = '\0';
}

std::string octave_text(int octave) {
    if (octave < 0) {
        return std::to_string(octave); // "-2", "-1": half-width
    }
    return FULL_DIGITS[octave % 10];
}

void note_names_build() {
    for (int n = 0; n < 128; n++) {
        int pitch = n % 12;
        std::string octave = octave_text(n / 12 - 2);
        std::string name = NOTE_LETTERS[pitch];
        if (NOTE_SHARP[pitch]) {
            name += "# " + octave;
        } else {
            name += octave + "　";
        }
        store_padded(g_name_tables.note_name[n], name, NOTE_NAME_BYTES);
    }
}

void tone_names_build() {
    for (int p = 0; p < 128; p++) {
        store_padded(g_name_tables.tone_name[p], MELODIC[p], TONE_NAME_BYTES);
    }
    const char* name = DRUM_SETS[0].name;
    size_t next = 0;
    for (int p = 0; p < 128; p++) {
        while (next < std::size(DRUM_SETS) && DRUM_SETS[next].first <= p) {
            name = DRUM_SETS[next++].name;
        }
        store_padded(g_name_tables.tone_name[DRUM_SET_BASE + p], name, TONE_NAME_BYTES);
    }
}

void number_labels_build() {
    store_padded(g_name_tables.number_label[0], "", NUMBER_LABEL_BYTES);
    for (int n = 1; n <= NUMBER_LABELS; n++) {
        std::string label = n < 10 ? std::string(" ") + FULL_DIGITS[n] + " "
                                   : std::string(FULL_DIGITS[n / 10]) + FULL_DIGITS[n % 10];
        store_padded(g_name_tables.number_label[n], label, NUMBER_LABEL_BYTES);
    }
}

const char* blank_of(size_t width) {
    static const char BLANKS[] = "                ";
    return BLANKS + (sizeof BLANKS - 1 - width);
}

} // namespace

void name_tables_load() {
    note_names_build();
    tone_names_build();
    for (int k = 0; k < 12; k++) {
        store_padded(g_name_tables.key_name[k], KEYS[k], KEY_NAME_BYTES);
    }
    number_labels_build();
}

const char* note_name(int note) {
    return note >= 0 && note < 128 ? g_name_tables.note_name[note] : blank_of(NOTE_NAME_BYTES);
}

const char* tone_name(int index) {
    return index >= 0 && index < TONE_NAMES ? g_name_tables.tone_name[index]
                                            : blank_of(TONE_NAME_BYTES);
}

const char* key_name(int key) {
    return key >= 0 && key < 12 ? g_name_tables.key_name[key] : blank_of(KEY_NAME_BYTES);
}

const char* number_label(int n) {
    return n >= 1 && n <= NUMBER_LABELS ? g_name_tables.number_label[n]
                                        : blank_of(NUMBER_LABEL_BYTES);
}
