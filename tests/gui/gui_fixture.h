// Common start for the in-picture dialog tests: the headless backend, a blank picture and no
// modal view, status line or queued input left from the case before.
#pragma once

#include "common/status_line.h"
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "sequencer/shell/draw.h"

#include <gtest/gtest.h>

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform_select("headless");
        headless_reset();
        headless_window_reset();
        picture_reset();
        draw_reset();
        status_line_reset();
        modal_reset();
    }
};
