// Runs the timer window on the scripted host as the application object would: with the record,
// as the main window.
#pragma once

#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "timer/CLaunchTimerDlg.h"

namespace testing_support {

inline int RunTimerWindow(ScriptedHost& host, LaunchSettings& settings,
                          ScriptedHost::ScriptFn script)
{
    host.Script(IDD_LAUNCHTIMER_DIALOG, std::move(script));
    CLaunchTimerDlg dlg(host);
    dlg.SetSettings(&settings);
    host.SetMainWindow(&dlg);
    const int result = dlg.DoModal();
    host.SetMainWindow(nullptr);
    return result;
}

} // namespace testing_support
