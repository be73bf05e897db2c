#include "platform/linux/SettingsText.h"

#include "platform/Number.h"

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line
{
    std::string_view content;    // without the line end
    std::string_view terminator; // "\n", "\r\n", "\r" at the very end, or nothing
    enum Kind
    {
        Other,
        Group,
        Value
    } kind = Other;
    std::string_view group; // Group lines
    std::string_view name;  // Value lines
    std::string_view value;
};

// Reads the text line by line, each one classified; the lines' bytes together are the text,
// less a leading byte-order mark.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : m_rest(text)
    {
        if (m_rest.starts_with(kByteOrderMark))
            m_rest.remove_prefix(kByteOrderMark.size());
    }

    bool Next(Line& line)
    {
        if (m_rest.empty())
            return false;
        std::size_t end = m_rest.find('\n');
        const std::size_t next = end == std::string_view::npos ? m_rest.size() : end + 1;
        if (end == std::string_view::npos)
            end = m_rest.size();
        if (end > 0 && m_rest[end - 1] == '\r')
            --end;
        line = Line();
        line.content = m_rest.substr(0, end);
        line.terminator = m_rest.substr(end, next - end);
        const std::string_view trimmed = TrimBlanks(line.content);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            line.kind = Line::Group;
            line.group = trimmed.substr(1, trimmed.size() - 2);
        } else if (std::size_t equals = line.content.find('='); equals != std::string_view::npos) {
            line.kind = Line::Value;
            line.name = TrimBlanks(line.content.substr(0, equals));
            line.value = TrimBlanks(line.content.substr(equals + 1));
        }
        m_rest.remove_prefix(next);
        return true;
    }

private:
    std::string_view m_rest;
};

std::vector<Line> Lines(std::string_view text)
{
    std::vector<Line> lines;
    LineReader reader(text);
    for (Line line; reader.Next(line);)
        lines.push_back(line);
    return lines;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsTrimmedName(std::string_view name)
{
    return !name.empty() && !HasLineBreak(name) && TrimBlanks(name).size() == name.size();
}

} // namespace

std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view group,
                                             std::string_view name)
{
    // The first of a name wins: reading stops there, however long the file.
    bool inGroup = false;
    LineReader reader(text);
    for (Line line; reader.Next(line);) {
        if (line.kind == Line::Group)
            inGroup = line.group == group;
        else if (inGroup && line.kind == Line::Value && line.name == name)
            return std::string(line.value);
    }
    return std::nullopt;
}

bool IsWritableGroupName(std::string_view group)
{
    return IsTrimmedName(group) && group.find(']') == std::string_view::npos;
}

bool IsWritableValueName(std::string_view name)
{
    return IsTrimmedName(name) && name.front() != '[' && name.find('=') == std::string_view::npos;
}

bool IsWritableValue(std::string_view value)
{
    return !HasLineBreak(value);
}

std::string SetSettingsValues(std::string_view text, std::string_view group,
                              const std::vector<SettingsValue>& values)
{
    // One value per name, in the order the names first came.
    struct Pending
    {
        std::string_view name, value;
        std::size_t line = SIZE_MAX; // the line that holds it now
    };
    std::vector<Pending> pending;
    for (const auto& [name, value] : values) {
        bool seen = false;
        for (Pending& p : pending)
            if (p.name == name) {
                p.value = value;
                seen = true;
            }
        if (!seen)
            pending.push_back({name, value});
    }

    const std::vector<Line> lines = Lines(text);
    // New lines end as the file's first line does.
    const std::string_view eol =
        !lines.empty() && lines.front().terminator == "\r\n" ? "\r\n" : "\n";
    std::size_t groupStart = SIZE_MAX; // the first line of the group
    std::size_t insertAfter = SIZE_MAX;
    bool inGroup = false;
    bool inFirstRun = false; // within the group's first run of lines
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Group) {
            inGroup = line.group == group;
            inFirstRun = inGroup && groupStart == SIZE_MAX;
            if (inFirstRun)
                groupStart = insertAfter = i;
            continue;
        }
        if (!inGroup)
            continue;
        // Values added to the group go after the last line of its first run that is not blank.
        if (inFirstRun && !TrimBlanks(line.content).empty())
            insertAfter = i;
        if (line.kind == Line::Value)
            for (Pending& p : pending)
                if (p.line == SIZE_MAX && p.name == line.name)
                    p.line = i;
    }

    std::string out;
    out.reserve(text.size() + 64);
    if (text.starts_with(kByteOrderMark))
        out += kByteOrderMark;
    // Lines are added after the last one only once it has ended; a lone CR at the very end
    // stays a line end by getting its LF.
    auto endLastLine = [&] {
        if (!out.empty() && out.back() != '\n')
            out.append(out.back() == '\r' ? std::string_view("\n") : eol);
    };
    auto addMissing = [&] {
        for (const Pending& p : pending)
            if (p.line == SIZE_MAX) {
                out.append(p.name).append("=").append(p.value).append(eol);
            }
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        bool replaced = false;
        for (const Pending& p : pending)
            if (p.line == i) {
                out.append(p.name).append("=").append(p.value);
                replaced = true;
            }
        if (!replaced)
            out.append(line.content);
        out.append(line.terminator);
        if (i == insertAfter) {
            endLastLine();
            addMissing();
        }
    }
    if (groupStart == SIZE_MAX) {
        if (!lines.empty()) {
            endLastLine();
            if (!TrimBlanks(lines.back().content).empty())
                out.append(eol);
        }
        out.append("[").append(group).append("]").append(eol);
        addMissing();
    }
    return out;
}

} // namespace platform
