// The console program's headers in one include, as the batch worker still
// uses it; other code includes the header of the concern it needs.
#pragma once

#include "cli/batch/batch_report.h"
#include "cli/commands/commands.h"
#include "cli/options/global_options.h"
#include "cli/output/console.h"
#include "cli/output/json.h"
