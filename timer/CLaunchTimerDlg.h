// The timer window: counts the configured seconds down once a second and, at zero or on
// Run now, runs the launch sequence, which ends the window.
#pragma once

#include <cstdint>

#include "app/LaunchSettings.h"
#include "platform/Dialog.h"

class CLaunchTimerDlg : public platform::Dialog
{
public:
    explicit CLaunchTimerDlg(platform::Host& host);
    ~CLaunchTimerDlg() override;

    void SetSettings(LaunchSettings* settings) { m_pSettings = settings; }

    bool OnInitDialog() override;
    void OnTimer(std::uintptr_t id) override;
    void OnSysCommand(unsigned command) override;
    void DestroyWindow() override;

private:
    void OnStart();
    void OnStop();
    void OnReset();
    void OnSettings();
    void OnRunNow();
    void OnCloseButton();
    void OnRunCommandCheck();
    void OnRunFilesCheck();

    void StartCount();
    void StopCount();
    void UpdateTitle();
    void UpdateCounter();
    void UpdateStatusLine();
    void UpdateCheckBoxes();
    void UpdateButtons();
    bool HasSomethingToLaunch() const;

    // The launch sequence: folder files, then the command or message; ends the window.
    void RunLaunchSequence();
    // folder: where the command starts; null for the folder Hanavo was started in.
    void RunCommandStep(const std::string* folder);

    int m_hIcon;
    platform::Font m_fontCounter;
    std::uintptr_t m_nTimerId = 0;
    LaunchSettings* m_pSettings = nullptr;
    int m_nRemaining = 0;
    bool m_bStopped = true;
};
