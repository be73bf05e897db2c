#include "timer/CAboutDlg.h"

#include "res/Templates.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg(platform::Host& host) : Dialog(host, res::GetTemplate(IDD_ABOUTBOX)) {}
