// The settings dialog: seconds, command, arguments and launch folder, and whether Hanavo
// starts at login. The caller copies the four values in before the run and back only when it
// ends with OK.
#pragma once

#include <string>

#include "platform/Dialog.h"

class CSettingDialog : public platform::Dialog
{
public:
    explicit CSettingDialog(platform::Host& host);

    int m_nSeconds = 0;
    std::string m_strCommand;
    std::string m_strOptions;
    std::string m_strTopDir;

    bool OnInitDialog() override;
    // Reads the fields, then turns the login start on or off when its box changed.
    void OnOK() override;

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    void OnBrowseCommand();
    void OnBrowseFolder();
    void OnFileSettings();

    bool m_bLoginStart = false; // as the desktop had it when the dialog opened
};
