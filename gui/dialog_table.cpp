// The sequencer's six dialogs as their resources describe them (dialog units). Where a
// button or text has no given size it gets a plain one (OK and CANCEL 50 x 14); the chord
// dialog's radio buttons stand in rows and columns inside their group boxes.
#include "gui/dialog_table.h"

#include <iterator>

namespace {

const DialogControl TITLE_CONTROLS[] = {
    {ControlKind::static_text, CONTROL_NO_ID, "TITLE", 29, 7, 109, 10, CONTROL_CENTRED},
    {ControlKind::edit, 1000, "", 25, 35, 109, 14, CONTROL_AUTO_SCROLL},
    {ControlKind::button, 1, "OK", 30, 72, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 84, 71, 50, 14, CONTROL_ENDS},
};

const DialogControl TRACK_NAME_CONTROLS[] = {
    {ControlKind::static_text, CONTROL_NO_ID, "TRACK NAME", 40, 16, 86, 10, 0},
    {ControlKind::edit, 1003, "", 46, 33, 70, 14, 0},
    {ControlKind::button, 1, "OK", 41, 73, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 98, 73, 50, 14, CONTROL_ENDS},
};

const DialogControl TEXT_CONTROLS[] = {
    {ControlKind::edit, 1006, "", 7, 21, 343, 15, CONTROL_AUTO_SCROLL},
    {ControlKind::button, 1, "OK", 233, 43, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 300, 43, 50, 14, CONTROL_ENDS},
};

const DialogControl CHORD_NAME_CONTROLS[] = {
    {ControlKind::group_box, CONTROL_NO_ID, "Chord root", 7, 4, 324, 30, 0},
    {ControlKind::radio, 1010, "C", 14, 16, 22, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1011, "D", 38, 16, 22, 10, 0},
    {ControlKind::radio, 1012, "E", 62, 16, 22, 10, 0},
    {ControlKind::radio, 1013, "F", 86, 16, 22, 10, 0},
    {ControlKind::radio, 1014, "G", 110, 16, 22, 10, 0},
    {ControlKind::radio, 1015, "A", 134, 16, 22, 10, 0},
    {ControlKind::radio, 1016, "B", 158, 16, 22, 10, 0},
    {ControlKind::radio, 1017, "natural", 200, 16, 40, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1018, "b", 246, 16, 24, 10, 0},
    {ControlKind::radio, 1019, "#", 276, 16, 24, 10, 0},
    {ControlKind::group_box, CONTROL_NO_ID, "type", 7, 38, 324, 164, 0},
    {ControlKind::radio, 1020, "Maj", 14, 51, 60, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1021, "6", 14, 72, 60, 10, 0},
    {ControlKind::radio, 1022, "M7", 14, 93, 60, 10, 0},
    {ControlKind::radio, 1023, "M7(#11)", 14, 114, 60, 10, 0},
    {ControlKind::radio, 1024, "add9", 14, 135, 60, 10, 0},
    {ControlKind::radio, 1025, "M7(9)", 14, 156, 60, 10, 0},
    {ControlKind::radio, 1026, "6(9)", 14, 177, 60, 10, 0},
    {ControlKind::radio, 1027, "aug", 77, 51, 60, 10, 0},
    {ControlKind::radio, 1028, "m", 77, 72, 60, 10, 0},
    {ControlKind::radio, 1029, "m6", 77, 93, 60, 10, 0},
    {ControlKind::radio, 1030, "m7", 77, 114, 60, 10, 0},
    {ControlKind::radio, 1031, "m7(-5)", 77, 135, 60, 10, 0},
    {ControlKind::radio, 1032, "madd9", 77, 156, 60, 10, 0},
    {ControlKind::radio, 1033, "m7(9)", 77, 177, 60, 10, 0},
    {ControlKind::radio, 1034, "m7(11)", 140, 51, 60, 10, 0},
    {ControlKind::radio, 1035, "mM7", 140, 72, 60, 10, 0},
    {ControlKind::radio, 1036, "mM7(9)", 140, 93, 60, 10, 0},
    {ControlKind::radio, 1037, "dim", 140, 114, 60, 10, 0},
    {ControlKind::radio, 1038, "dim7", 140, 135, 60, 10, 0},
    {ControlKind::radio, 1039, "7", 140, 156, 60, 10, 0},
    {ControlKind::radio, 1040, "7sus4", 140, 177, 60, 10, 0},
    {ControlKind::radio, 1041, "7(-5)", 203, 51, 60, 10, 0},
    {ControlKind::radio, 1042, "7(9)", 203, 72, 60, 10, 0},
    {ControlKind::radio, 1043, "7(#11)", 203, 93, 60, 10, 0},
    {ControlKind::radio, 1044, "7(13)", 203, 114, 60, 10, 0},
    {ControlKind::radio, 1045, "7(b9)", 203, 135, 60, 10, 0},
    {ControlKind::radio, 1046, "7(b13)", 203, 156, 60, 10, 0},
    {ControlKind::radio, 1047, "7(#9)", 203, 177, 60, 10, 0},
    {ControlKind::radio, 1048, "M7aug", 266, 51, 60, 10, 0},
    {ControlKind::radio, 1049, "7(+5)", 266, 72, 60, 10, 0},
    {ControlKind::radio, 1050, "1+8", 266, 93, 60, 10, 0},
    {ControlKind::radio, 1051, "1+5", 266, 114, 60, 10, 0},
    {ControlKind::radio, 1052, "sus4", 266, 135, 60, 10, 0},
    {ControlKind::radio, 1053, "1+2+5", 266, 156, 60, 10, 0},
    {ControlKind::radio, 1054, "cc", 266, 177, 60, 10, 0},
    {ControlKind::group_box, CONTROL_NO_ID, "on bass note", 7, 206, 324, 30, 0},
    {ControlKind::radio, 1055, "no", 14, 218, 26, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1056, "C", 46, 218, 20, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1057, "D", 68, 218, 20, 10, 0},
    {ControlKind::radio, 1058, "E", 90, 218, 20, 10, 0},
    {ControlKind::radio, 1059, "F", 112, 218, 20, 10, 0},
    {ControlKind::radio, 1060, "G", 134, 218, 20, 10, 0},
    {ControlKind::radio, 1061, "A", 156, 218, 20, 10, 0},
    {ControlKind::radio, 1062, "B", 178, 218, 20, 10, 0},
    {ControlKind::radio, 1063, "natural", 208, 218, 40, 10, CONTROL_GROUP_START},
    {ControlKind::radio, 1064, "b", 252, 218, 24, 10, 0},
    {ControlKind::radio, 1065, "#", 280, 218, 24, 10, 0},
    {ControlKind::button, 1, "OK", 207, 251, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 276, 251, 50, 14, CONTROL_ENDS},
};

const DialogControl GUITAR_INFORMATION_CONTROLS[] = {
    {ControlKind::static_text, CONTROL_NO_ID, "key (0-23)", 113, 12, 60, 10, 0},
    {ControlKind::edit, 1066, "", 113, 24, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "Note (0-127)", 10, 9, 80, 10, 0},
    {ControlKind::static_text, CONTROL_NO_ID, "1", 12, 124, 8, 10, 0},
    {ControlKind::edit, 1067, "", 24, 121, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "2", 12, 104, 8, 10, 0},
    {ControlKind::edit, 1068, "", 24, 101, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "3", 12, 84, 8, 10, 0},
    {ControlKind::edit, 1069, "", 24, 81, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "4", 12, 64, 8, 10, 0},
    {ControlKind::edit, 1070, "", 24, 61, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "5", 12, 44, 8, 10, 0},
    {ControlKind::edit, 1071, "", 24, 41, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "6", 12, 24, 8, 10, 0},
    {ControlKind::edit, 1072, "", 24, 21, 40, 14, CONTROL_NUMBER},
    {ControlKind::button, 1, "OK", 130, 109, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 130, 126, 50, 14, CONTROL_ENDS},
};

const DialogControl GUITAR_VOICING_CONTROLS[] = {
    {ControlKind::static_text, CONTROL_NO_ID, "Pos(0-24) 0:open", 6, 2, 110, 8, 0},
    {ControlKind::static_text, CONTROL_NO_ID, "fing(0-5) 0:no", 70, 10, 110, 8, 0},
    {ControlKind::edit, 1073, "", 10, 20, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1074, "", 70, 20, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "6", 116, 23, 8, 10, 0},
    {ControlKind::edit, 1075, "", 10, 40, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1076, "", 70, 40, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "5", 116, 43, 8, 10, 0},
    {ControlKind::edit, 1077, "", 10, 60, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1078, "", 70, 60, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "4", 116, 63, 8, 10, 0},
    {ControlKind::edit, 1079, "", 10, 80, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1080, "", 70, 80, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "3", 116, 83, 8, 10, 0},
    {ControlKind::edit, 1081, "", 10, 100, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1082, "", 70, 100, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "2", 116, 103, 8, 10, 0},
    {ControlKind::edit, 1083, "", 10, 120, 40, 14, CONTROL_NUMBER},
    {ControlKind::edit, 1084, "", 70, 120, 40, 14, CONTROL_NUMBER},
    {ControlKind::static_text, CONTROL_NO_ID, "1", 116, 123, 8, 10, 0},
    {ControlKind::button, 1, "OK", 129, 139, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    {ControlKind::button, 2, "CANCEL", 129, 156, 50, 14, CONTROL_ENDS},
};

const DialogTemplate TEMPLATES[] = {
    {110, "TITLE", 167, 100, TITLE_CONTROLS, static_cast<int>(std::size(TITLE_CONTROLS))},
    {111, "TRACK NAME", 167, 94, TRACK_NAME_CONTROLS,
     static_cast<int>(std::size(TRACK_NAME_CONTROLS))},
    {112, "TEXT", 359, 64, TEXT_CONTROLS, static_cast<int>(std::size(TEXT_CONTROLS))},
    {115, "CHORD NAME", 338, 272, CHORD_NAME_CONTROLS,
     static_cast<int>(std::size(CHORD_NAME_CONTROLS))},
    {116, "Information flag for Gt", 187, 150, GUITAR_INFORMATION_CONTROLS,
     static_cast<int>(std::size(GUITAR_INFORMATION_CONTROLS))},
    {117, "Chord Voicing for Gt", 186, 178, GUITAR_VOICING_CONTROLS,
     static_cast<int>(std::size(GUITAR_VOICING_CONTROLS))},
};

} // namespace

const DialogTemplate* dialog_template(int number) {
    for (const DialogTemplate& dialog : TEMPLATES) {
        if (dialog.number == number) {
            return &dialog;
        }
    }
    return nullptr;
}
