// Runs the timer window on the scripted host as the application object would: with the record,
// as the main window.
#pragma once

#include "app/LaunchSettings.h"
#include "support/ScriptedHost.h"

namespace testing_support {

int RunTimerWindow(ScriptedHost& host, LaunchSettings& settings, ScriptedHost::ScriptFn script);

} // namespace testing_support
