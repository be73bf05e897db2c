#include "platform/win32/ui/Win32Window.h"

#include <algorithm>
#include <commctrl.h>

#include "platform/Dialog.h"
#include "platform/Types.h"
#include "platform/win32/os/WideText.h"
#include "platform/win32/ui/UiText.h"
#include "platform/win32/ui/Win32Host.h"

namespace platform::win32 {
namespace {

// The window whose dialog is being created: the dialog procedure binds to it on the first
// message, which comes before WM_INITDIALOG (the check list box is measured during creation).
thread_local Win32Window* t_creating = nullptr;

// The check box in front of each item of a check list box, in pixels at 96 dots per inch.
constexpr int kCheckBox = 13;
constexpr int kCheckMargin = 2;
constexpr UINT_PTR kCheckListSubclass = 1;

std::wstring WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

bool IsButton(HWND hwnd)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, WC_BUTTONW) == 0;
}

int Scaled(HWND hwnd, int pixelsAt96)
{
    HDC dc = GetDC(hwnd);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(hwnd, dc);
    return MulDiv(pixelsAt96, dpi, 96);
}

// Centres a window on its owner, or on the screen's work area when it has none, keeping it
// on the screen: where the framework puts a dialog that gives no position of its own.
void CenterOnOwner(HWND hwnd)
{
    HWND owner = GetWindow(hwnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return;
    const RECT work = monitor.rcWork;
    RECT area = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    RECT self;
    GetWindowRect(hwnd, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

Win32Window::Win32Window(Dialog& dialog, Win32Host& host) : m_dialog(dialog), m_host(host) {}

Win32Window::~Win32Window()
{
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        DestroyWindow(m_hwnd);
    }
    for (auto& [id, font] : m_fonts)
        DeleteObject(font);
}

bool Win32Window::Create(HINSTANCE instance, HWND owner)
{
    const DialogTemplate& tmpl = m_dialog.Template();
    t_creating = this;
    HWND hwnd =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(tmpl.id), owner, &Win32Window::DialogProc, 0);
    t_creating = nullptr;
    if (!hwnd)
        return false;
    m_hwnd = hwnd;
    m_title = tmpl.caption;
    for (const ControlTemplate& c : tmpl.controls)
        if (c.kind == ControlKind::CheckList)
            if (HWND list = Item(c.id))
                SetWindowSubclass(list, &Win32Window::CheckListProc, kCheckListSubclass,
                                  reinterpret_cast<DWORD_PTR>(this));
    return true;
}

INT_PTR CALLBACK Win32Window::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self && t_creating && !t_creating->m_hwnd) {
        self = t_creating;
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        m_dialogFont = reinterpret_cast<HFONT>(wParam);
        return FALSE;
    case WM_INITDIALOG:
        // The focus is given once the window is shown, and only if it may be activated.
        return FALSE;
    case WM_COMMAND:
        OnCommandMessage(wParam, lParam);
        return TRUE;
    case WM_SYSCOMMAND:
        // The system's own commands (SC_*) are the dialog manager's; the items the program
        // appended to the system menu go to the dialog.
        if ((wParam & 0xFFF0) >= 0xF000)
            return FALSE;
        m_dialog.OnSysCommand(static_cast<unsigned>(wParam));
        return TRUE;
    case WM_TIMER:
        OnTimerMessage(wParam);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != TTN_GETDISPINFOW || header->hwndFrom != m_tooltip)
            return FALSE;
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        const int id = (info->uFlags & TTF_IDISHWND)
                           ? GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom))
                           : 0;
        std::string text;
        m_tipText.clear();
        if (m_toolTips && id > 0 && id != 0xFFFF && m_toolTips(id, text))
            m_tipText = Widen(text);
        info->hinst = nullptr;
        info->lpszText = m_tipText.data();
        return TRUE;
    }
    case WM_MEASUREITEM:
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        if (!m_host.WaitCursor())
            return FALSE;
        ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_QUERYENDSESSION:
        // The session may end: end as on SIGTERM, so that the settings are saved while the
        // system still waits for the answer, and allow the end.
        m_host.EndSession();
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            m_host.EndSession();
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void Win32Window::OnCommandMessage(WPARAM wParam, LPARAM lParam)
{
    const int code = HIWORD(wParam);
    const int id = LOWORD(wParam);
    auto from = reinterpret_cast<HWND>(lParam);
    if (code == EN_CHANGE && from)
        return;
    // Commands come from buttons, from the dialog manager (Enter, Esc, the close box) and from
    // menus; other controls' notifications are not commands.
    if (code != BN_CLICKED || id == 0xFFFF || (from && !IsButton(from)))
        return;
    m_dialog.OnCommand(id);
}

void Win32Window::OnTimerMessage(UINT_PTR id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        ::KillTimer(m_hwnd, id);
        return;
    }
    // Re-armed for the next deadline before the tick is delivered: the tick may open a message
    // box, whose loop goes on delivering this timer's messages.
    const TickSchedule::Wake wake = it->second.OnWake(TickSchedule::Clock::now());
    ::SetTimer(m_hwnd, id, static_cast<UINT>(std::max<long long>(wake.delay.count(), 1)), nullptr);
    if (wake.tick)
        m_dialog.OnTimer(id);
}

int Win32Window::RunModalLoop(bool focusFirst)
{
    if (m_ended)
        return m_result;
    const bool unattended = !m_timers.empty();
    CenterOnOwner(m_hwnd);
    ShowWindow(m_hwnd, unattended ? SW_SHOWNOACTIVATE : SW_SHOW);
    if (!unattended && focusFirst)
        if (HWND first = GetNextDlgTabItem(m_hwnd, nullptr, FALSE))
            SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    MSG msg;
    while (!m_ended) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // WM_QUIT belongs to the outermost loop: passed on, and this run ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(m_hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return m_ended ? m_result : IdCancel;
}

// --- Window ---

void Win32Window::SetTitle(const std::string& title)
{
    m_title = title;
    SetWindowTextW(m_hwnd, Widen(title).c_str());
}

void Win32Window::SetIcon(int iconId, bool big)
{
    const int size = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    HANDLE icon =
        LoadImageW(m_host.Instance(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_SHARED);
    if (icon)
        SendMessageW(m_hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
}

void Win32Window::AppendSystemMenu(unsigned command, const std::string& text)
{
    HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    if (!menu)
        return;
    if (command == 0)
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuW(menu, MF_STRING, command, Widen(text).c_str());
}

void Win32Window::EnableToolTips(ToolTipLookup lookup)
{
    m_toolTips = std::move(lookup);
    if (m_tooltip)
        return;
    m_tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, m_host.Instance(), nullptr);
    if (!m_tooltip)
        return;
    SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, Scaled(m_hwnd, 360));
    for (HWND child = GetWindow(m_hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TTTOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hwnd;
        info.uId = reinterpret_cast<UINT_PTR>(child);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void Win32Window::SetTopmost()
{
    // Never SWP without NOACTIVATE: the user's program keeps the keyboard.
    SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool Win32Window::ForceForeground()
{
    // In front of every other program's window, without taking the activation: a key typed
    // into another program must never reach this window.
    if (!IsWindowVisible(m_hwnd))
        return false;
    return SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
}

void Win32Window::EndModal(int result)
{
    m_result = result;
    m_ended = true;
    if (m_hwnd)
        PostMessageW(m_hwnd, WM_NULL, 0, 0); // wakes the loop
}

std::uintptr_t Win32Window::SetTimer(unsigned id, unsigned milliseconds)
{
    const std::uintptr_t key = TimerKey(id, m_timers);
    KillTimer(key);
    TickSchedule schedule(TickSchedule::Clock::now(), TimerInterval(milliseconds));
    if (!::SetTimer(m_hwnd, key, static_cast<UINT>(schedule.FirstDelay().count()), nullptr))
        return 0;
    m_timers.insert_or_assign(key, schedule);
    return key;
}

bool Win32Window::KillTimer(std::uintptr_t id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    ::KillTimer(m_hwnd, id);
    return true;
}

// --- Controls ---

const ControlTemplate* Win32Window::Find(int id) const
{
    for (const ControlTemplate& c : m_dialog.Template().controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

HWND Win32Window::Item(int id) const
{
    return m_hwnd && id != kNoId ? GetDlgItem(m_hwnd, id) : nullptr;
}

bool Win32Window::HasControl(int id) const
{
    return Find(id) && Item(id);
}

void Win32Window::SetText(int id, const std::string& text)
{
    HWND item = Item(id);
    if (!item)
        return;
    std::wstring wide = Widen(text);
    SetWindowTextW(item, wide.c_str());
    m_texts[id] = {text, std::move(wide)};
}

std::string Win32Window::GetText(int id) const
{
    HWND item = Item(id);
    if (!item)
        return {};
    std::wstring now = WindowText(item);
    // Unchanged since the program set it: its own bytes.
    auto it = m_texts.find(id);
    if (it != m_texts.end() && it->second.shown == now)
        return it->second.bytes;
    return ToUtf8(now);
}

void Win32Window::Enable(int id, bool enable)
{
    if (HWND item = Item(id))
        EnableWindow(item, enable ? TRUE : FALSE);
}

bool Win32Window::IsEnabled(int id) const
{
    HWND item = Item(id);
    return item && IsWindowEnabled(item);
}

void Win32Window::SetCheck(int id, int state)
{
    CheckDlgButton(m_hwnd, id,
                   state == 1   ? BST_CHECKED
                   : state == 2 ? BST_INDETERMINATE
                                : BST_UNCHECKED);
}

int Win32Window::GetCheck(int id) const
{
    if (!Item(id))
        return 0;
    const UINT state = IsDlgButtonChecked(m_hwnd, id);
    return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
}

bool Win32Window::SetFont(int id, const Font& font)
{
    HWND item = Item(id);
    if (!item || !font.IsCreated())
        return false;
    LOGFONTW face = {};
    // A point font as CreatePointFont makes it: the height of the characters, in pixels.
    face.lfHeight = -Scaled(m_hwnd, MulDiv(font.tenthsOfPoint, 96, 720));
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = DEFAULT_QUALITY;
    std::wstring name = Widen(font.face);
    name.resize(std::min<std::size_t>(name.size(), LF_FACESIZE - 1));
    std::copy(name.begin(), name.end(), face.lfFaceName);
    HFONT created = CreateFontIndirectW(&face);
    if (!created)
        return false;
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
    HFONT& slot = m_fonts[id];
    if (slot)
        DeleteObject(slot);
    slot = created;
    return true;
}

void Win32Window::SetFocus(int id)
{
    // Through the dialog manager, which moves the default button's border along.
    if (HWND item = Item(id))
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

int Win32Window::GetFocus() const
{
    HWND focus = ::GetFocus();
    if (!focus || !IsChild(m_hwnd, focus))
        return 0;
    while (GetParent(focus) != m_hwnd)
        focus = GetParent(focus);
    const int id = GetDlgCtrlID(focus);
    return id == 0xFFFF ? kNoId : id;
}

void Win32Window::SelectAllText(int id)
{
    if (HWND item = Item(id))
        SendMessageW(item, EM_SETSEL, 0, -1);
}

void Win32Window::SetLimitText(int id, int maxChars)
{
    // The edit control's own limit counts UTF-16 code units, stops only insertions, cuts a
    // paste to fit and leaves text set by the program alone.
    if (HWND item = Item(id))
        SendMessageW(item, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(maxChars, 1)), 0);
}

void Win32Window::SetUpDownRange(int id, int lower, int upper)
{
    if (HWND item = Item(id))
        SendMessageW(item, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void Win32Window::SetUpDownStep(int id, int step)
{
    HWND item = Item(id);
    if (!item)
        return;
    UDACCEL accel = {0, static_cast<UINT>(step)};
    SendMessageW(item, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

// --- Check list box ---

std::vector<Win32Window::ListItem>* Win32Window::ListOf(int id)
{
    const ControlTemplate* c = Find(id);
    if (!c || c->kind != ControlKind::CheckList || !Item(id))
        return nullptr;
    return &m_lists[id];
}

const std::vector<Win32Window::ListItem>* Win32Window::ListOf(int id) const
{
    auto it = m_lists.find(id);
    return it == m_lists.end() ? nullptr : &it->second;
}

int Win32Window::ListAddString(int id, const std::string& text)
{
    return ListInsertString(id, -1, text);
}

int Win32Window::ListInsertString(int id, int pos, const std::string& text)
{
    std::vector<ListItem>* items = ListOf(id);
    if (!items)
        return -1;
    const int count = static_cast<int>(items->size());
    if (pos == -1)
        pos = count;
    if (pos < 0 || pos > count)
        return -1;
    const LRESULT at = SendMessageW(Item(id), LB_INSERTSTRING, static_cast<WPARAM>(pos),
                                    reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (at < 0)
        return -1;
    items->insert(items->begin() + pos, ListItem{text, 0, 0});
    return pos;
}

void Win32Window::ListDeleteString(int id, int pos)
{
    std::vector<ListItem>* items = ListOf(id);
    if (!items || pos < 0 || pos >= static_cast<int>(items->size()))
        return;
    items->erase(items->begin() + pos);
    SendMessageW(Item(id), LB_DELETESTRING, static_cast<WPARAM>(pos), 0);
}

void Win32Window::ListSetItemData(int id, int pos, std::intptr_t data)
{
    std::vector<ListItem>* items = ListOf(id);
    if (items && pos >= 0 && pos < static_cast<int>(items->size()))
        (*items)[static_cast<std::size_t>(pos)].data = data;
}

std::intptr_t Win32Window::ListGetItemData(int id, int pos) const
{
    const std::vector<ListItem>* items = ListOf(id);
    if (!items || pos < 0 || pos >= static_cast<int>(items->size()))
        return -1;
    return (*items)[static_cast<std::size_t>(pos)].data;
}

int Win32Window::ListGetCount(int id) const
{
    const std::vector<ListItem>* items = ListOf(id);
    return items ? static_cast<int>(items->size()) : 0;
}

int Win32Window::ListGetCurSel(int id) const
{
    HWND list = ListOf(id) ? Item(id) : nullptr;
    return list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
}

void Win32Window::ListSetCurSel(int id, int pos)
{
    std::vector<ListItem>* items = ListOf(id);
    if (!items)
        return;
    if (pos < 0 || pos >= static_cast<int>(items->size()))
        pos = -1;
    SendMessageW(Item(id), LB_SETCURSEL, static_cast<WPARAM>(pos), 0);
}

std::string Win32Window::ListGetText(int id, int pos) const
{
    const std::vector<ListItem>* items = ListOf(id);
    if (!items || pos < 0 || pos >= static_cast<int>(items->size()))
        return {};
    return (*items)[static_cast<std::size_t>(pos)].text;
}

void Win32Window::ListSetCheck(int id, int pos, int state)
{
    std::vector<ListItem>* items = ListOf(id);
    if (!items || pos < 0 || pos >= static_cast<int>(items->size()))
        return;
    (*items)[static_cast<std::size_t>(pos)].check = state;
    RECT rect;
    HWND list = Item(id);
    if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(pos),
                     reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        InvalidateRect(list, &rect, FALSE);
}

int Win32Window::ListGetCheck(int id, int pos) const
{
    const std::vector<ListItem>* items = ListOf(id);
    if (!items || pos < 0 || pos >= static_cast<int>(items->size()))
        return 0;
    return (*items)[static_cast<std::size_t>(pos)].check;
}

void Win32Window::ToggleCheck(int id, int pos)
{
    ListSetCheck(id, pos, ListGetCheck(id, pos) == 1 ? 0 : 1);
}

void Win32Window::MeasureItem(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX)
        return;
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, m_dialogFont ? static_cast<HGDIOBJ>(m_dialogFont)
                                                : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    item.itemHeight = static_cast<UINT>(
        std::max<LONG>(metrics.tmHeight + 2, Scaled(m_hwnd, kCheckBox + 2 * kCheckMargin)));
}

void Win32Window::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX)
        return;
    const std::vector<ListItem>* items = ListOf(static_cast<int>(item.CtlID));
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    if (!items || item.itemID >= items->size()) {
        if (item.itemState & ODS_FOCUS)
            DrawFocusRect(dc, &rect);
        return;
    }
    const ListItem& entry = (*items)[item.itemID];
    const int box = Scaled(item.hwndItem, kCheckBox);
    const int margin = Scaled(item.hwndItem, kCheckMargin);

    // The box stands on the list's background; only the text is highlighted.
    RECT boxArea = rect;
    boxArea.right = rect.left + box + 2 * margin;
    FillRect(dc, &boxArea, GetSysColorBrush(COLOR_WINDOW));
    RECT check = {boxArea.left + margin, rect.top + (rect.bottom - rect.top - box) / 2, 0, 0};
    check.right = check.left + box;
    check.bottom = check.top + box;
    DrawFrameControl(dc, &check, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (entry.check == 1 ? DFCS_CHECKED : 0));

    RECT text = rect;
    text.left = boxArea.right;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                     : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                     : COLOR_WINDOWTEXT));
    RECT inner = text;
    inner.left += margin;
    std::wstring shown = Widen(entry.text);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &text);
}

LRESULT CALLBACK Win32Window::CheckListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, &Win32Window::CheckListProc, kCheckListSubclass);
    else if (reinterpret_cast<Win32Window*>(data)->CheckListInput(hwnd, message, wParam, lParam))
        return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool Win32Window::CheckListInput(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int id = GetDlgCtrlID(list);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_SPACE)
            return false;
        if (const int pos = ListGetCurSel(id); pos >= 0)
            ToggleCheck(id, pos);
        return true;
    case WM_CHAR:
        // The space that toggled is not a search for an item beginning with a blank.
        return wParam == L' ';
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
        if (HIWORD(hit) != 0)
            return false;
        const int pos = LOWORD(hit);
        RECT rect;
        if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(pos),
                         reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
            return false;
        const int x = static_cast<short>(LOWORD(lParam));
        if (x >= rect.left + Scaled(list, kCheckBox + 2 * kCheckMargin))
            return false;
        // The click selects the item as usual, then toggles its box.
        DefSubclassProc(list, message, wParam, lParam);
        ToggleCheck(id, pos);
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform::win32
