// Writes the dialog resources and the string table of Hanavo.exe from the templates and texts
// in res/, so that the resource script can never disagree with them. Built and run on the
// build machine: rcgen <output.rc>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"
#include "res/Strings.h"
#include "res/Templates.h"

namespace {

using namespace platform;

// A resource-script string: quotes doubled, backslashes and line breaks escaped.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

std::string Join(const std::vector<std::string>& flags)
{
    std::string out;
    for (const std::string& f : flags)
        out += (out.empty() ? "" : " | ") + f;
    return out;
}

// Class name and window styles of a control, as the dialog manager creates it.
void Describe(const ControlTemplate& c, std::string& className, std::vector<std::string>& style)
{
    style = {"WS_CHILD", "WS_VISIBLE"};
    if (c.style & CS_TABSTOP)
        style.push_back("WS_TABSTOP");
    if (c.style & CS_BORDER)
        style.push_back("WS_BORDER");
    if (c.style & CS_VSCROLL)
        style.push_back("WS_VSCROLL");
    switch (c.kind) {
    case ControlKind::Static:
        className = "Static";
        style.push_back((c.style & CS_RIGHT) ? "SS_RIGHT" : "SS_LEFT");
        if (c.style & CS_NOPREFIX)
            style.push_back("SS_NOPREFIX");
        break;
    case ControlKind::Icon:
        className = "Static";
        style.push_back("SS_ICON");
        break;
    case ControlKind::Edit:
        className = "Edit";
        style.push_back((c.style & CS_RIGHT) ? "ES_RIGHT" : "ES_LEFT");
        if (c.style & CS_AUTOHSCROLL)
            style.push_back("ES_AUTOHSCROLL");
        if (c.style & CS_NUMBER)
            style.push_back("ES_NUMBER");
        break;
    case ControlKind::PushButton:
        className = "Button";
        style.push_back((c.style & CS_DEFAULT) ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON");
        break;
    case ControlKind::CheckBox:
        className = "Button";
        style.push_back("BS_AUTOCHECKBOX");
        break;
    case ControlKind::UpDown:
        className = "msctls_updown32";
        if (c.style & CS_UD_SETBUDDYINT)
            style.push_back("UDS_SETBUDDYINT");
        if (c.style & CS_UD_ALIGNRIGHT)
            style.push_back("UDS_ALIGNRIGHT");
        if (c.style & CS_UD_AUTOBUDDY)
            style.push_back("UDS_AUTOBUDDY");
        if (c.style & CS_UD_ARROWKEYS)
            style.push_back("UDS_ARROWKEYS");
        // The seconds never reach a thousand; no separator may ever be read back.
        style.push_back("UDS_NOTHOUSANDS");
        break;
    case ControlKind::CheckList:
        // Owner-drawn with strings: the check box in front of each item is drawn by the dialog.
        className = "ListBox";
        style.insert(style.end(), {"LBS_NOTIFY", "LBS_OWNERDRAWFIXED", "LBS_HASSTRINGS",
                                   "LBS_NOINTEGRALHEIGHT"});
        break;
    }
}

void WriteDialog(std::ostream& out, const DialogTemplate& d)
{
    std::vector<std::string> style = {"DS_SETFONT", "DS_MODALFRAME", "WS_POPUP", "WS_CAPTION"};
    if (d.style & DS_SYSMENU)
        style.push_back("WS_SYSMENU");
    if (d.style & DS_MINIMIZEBOX)
        style.push_back("WS_MINIMIZEBOX");
    out << d.id << " DIALOGEX 0, 0, " << d.cx << ", " << d.cy << "\n";
    out << "STYLE " << Join(style) << "\n";
    if (d.style & DS_APPWINDOW)
        out << "EXSTYLE WS_EX_APPWINDOW\n";
    out << "CAPTION " << Quoted(d.caption) << "\n";
    out << "FONT " << d.pointSize << ", " << Quoted(d.fontFace) << ", 0, 0, 0x1\n";
    out << "BEGIN\n";
    for (const ControlTemplate& c : d.controls) {
        std::string className;
        std::vector<std::string> flags;
        Describe(c, className, flags);
        // An icon static names its icon resource by number.
        const std::string text = c.kind == ControlKind::Icon ? c.text : Quoted(c.text);
        out << "  CONTROL " << text << ", " << c.id << ", " << Quoted(className) << ", "
            << Join(flags) << ", " << c.x << ", " << c.y << ", " << c.cx << ", " << c.cy << "\n";
    }
    out << "END\n\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: rcgen <output.rc>\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Generated from res/ by rcgen: edit the templates and texts there.\n\n";
    for (int id : res::TemplateIds())
        WriteDialog(out, res::GetTemplate(id));
    out << "STRINGTABLE\nBEGIN\n";
    for (unsigned id : res::StringIds())
        out << "  " << id << ", " << Quoted(res::LoadText(id)) << "\n";
    out << "END\n";
    out.close();
    if (!out) {
        std::cerr << "rcgen: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
