// The About box: name, version and icon; everything it does is the base dialog's.
#pragma once

#include "platform/Dialog.h"

class CAboutDlg : public platform::Dialog
{
public:
    explicit CAboutDlg(platform::Host& host);
};
