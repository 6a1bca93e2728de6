#pragma once

#include "session/batch_list.h"
#include "session/control_values.h"
#include "session/host_timers.h"
#include "session/operation_result.h"
#include "session/progress_display.h"
#include "session/prompts.h"
#include "session/viewer_buffer.h"

namespace tw {

// What a transfer session needs of its owner, one role each; every call comes on the owner's thread.
struct SessionRoles {
  ControlValues& controls;
  Prompts& prompts;
  ProgressDisplay& progress;
  ViewerBuffer& viewer;
  HostTimers& timers;
  BatchList& batch;
  OperationResult& result;
};

// A host that has every role (the console, a test's scripted host).
class EveryRoleHost : public ControlValues,
                      public Prompts,
                      public ProgressDisplay,
                      public ViewerBuffer,
                      public HostTimers,
                      public BatchList,
                      public OperationResult {};

[[nodiscard]] inline SessionRoles AllRolesOf(EveryRoleHost& host) { return {host, host, host, host, host, host, host}; }

}  // namespace tw
