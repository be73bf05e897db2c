// The application object: the program's whole life, from the single-instance guard through
// loading the settings, the modal timer window and saving the settings.
#pragma once

#include <string>

#include "platform/Host.h"
#include "platform/ProfileStore.h"

class CLaunchTimerApp
{
public:
    CLaunchTimerApp(platform::Host& host, platform::ProfileStore& store);

    // argumentText: the raw command-line arguments joined by blanks, as bytes, before the
    // toolkit removed any of its own options. Always returns false: the program then ends.
    bool InitInstance(std::string argumentText);

private:
    platform::Host& m_host;
    platform::ProfileStore& m_store;
};
