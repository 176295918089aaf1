// The dialog tables: every control inside its dialog, OK and CANCEL everywhere, identifiers
// where the dialogs' behaviour expects them.
#include "gui/dialog_table.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const int NUMBERS[] = {110, 111, 112, 115, 116, 117};

const DialogControl* control_of(const DialogTemplate& dialog, int id) {
    for (int i = 0; i < dialog.control_count; i++) {
        if (dialog.controls[i].id == id) {
            return &dialog.controls[i];
        }
    }
    return nullptr;
}

TEST(DialogTable, UnknownNumbersHaveNoTemplate) {
    EXPECT_EQ(dialog_template(113), nullptr);
    EXPECT_EQ(dialog_template(0), nullptr);
}

TEST(DialogTable, EveryControlFitsAndIdsAreUnique) {
    for (int number : NUMBERS) {
        const DialogTemplate* dialog = dialog_template(number);
        ASSERT_NE(dialog, nullptr) << number;
        std::set<int> ids;
        for (int i = 0; i < dialog->control_count; i++) {
            const DialogControl& c = dialog->controls[i];
            EXPECT_GE(c.x, 0) << number << " " << i;
            EXPECT_GE(c.y, 0) << number << " " << i;
            EXPECT_LE(c.x + c.width, dialog->width) << number << " " << c.text;
            EXPECT_LE(c.y + c.height, dialog->height) << number << " " << c.text;
            if (c.id != CONTROL_NO_ID) {
                EXPECT_TRUE(ids.insert(c.id).second) << number << " " << c.id;
            }
        }
        ASSERT_NE(control_of(*dialog, CONTROL_OK), nullptr);
        ASSERT_NE(control_of(*dialog, CONTROL_CANCEL), nullptr);
        EXPECT_TRUE(control_of(*dialog, CONTROL_OK)->flags & CONTROL_DEFAULT);
    }
}

TEST(DialogTable, ChordDialogHasItsRadioRuns) {
    const DialogTemplate& dialog = *dialog_template(115);
    EXPECT_EQ(dialog.width, 338);
    EXPECT_EQ(dialog.height, 272);
    for (int id = 1010; id <= 1065; id++) {
        const DialogControl* c = control_of(dialog, id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(c->kind, ControlKind::radio) << id;
    }
    EXPECT_STREQ(control_of(dialog, 1020)->text, "Maj");
    EXPECT_STREQ(control_of(dialog, 1054)->text, "cc");
    EXPECT_STREQ(control_of(dialog, 1055)->text, "no");
    EXPECT_STREQ(control_of(dialog, 1065)->text, "#");
}

TEST(DialogTable, EditsWhereTheResourcesPutThem) {
    const DialogControl* title = control_of(*dialog_template(110), 1000);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->kind, ControlKind::edit);
    EXPECT_EQ(title->x, 25);
    EXPECT_EQ(title->y, 35);
    EXPECT_EQ(title->width, 109);
    EXPECT_TRUE(title->flags & CONTROL_AUTO_SCROLL);
    const DialogTemplate& info = *dialog_template(116);
    EXPECT_EQ(control_of(info, 1067)->y, 121);
    EXPECT_EQ(control_of(info, 1072)->y, 21);
    const DialogTemplate& voicing = *dialog_template(117);
    EXPECT_EQ(control_of(voicing, 1073)->x, 10);
    EXPECT_EQ(control_of(voicing, 1084)->x, 70);
    EXPECT_EQ(control_of(voicing, 1084)->y, 120);
}

} // namespace
