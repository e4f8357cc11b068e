#pragma once
// What the user is told while one scene loads. Its files can name the same broken texture thousands
// of times: each "<what> - <path>" line is written once, and only a few boxes of one caption are
// shown, the rest counted on standard error when the load ends.

#include "io/file_errors.h"
#include "platform/platform.h"

struct SceneLoadReports {
    FileErrorsOncePerLoad fileErrors;
    MessageBoxLimit messageBoxes;
};
