// The platform's and the common layer's records back to their start state.
#include "common/common_reset.h"

#include "common/deadline.h"
#include "common/messages.h"
#include "common/overwrite_question.h"
#include "common/profile.h"
#include "common/status_line.h"
#include "common/version_check.h"
#include "platform/platform.h"

void common_reset_all() {
    platform_records_reset();
    profile_free();
    profile_faults_reset();
    status_line_reset();
    messages_reset();
    deadline_reset();
    version_check_reset();
    overwrite_question_reset();
}
