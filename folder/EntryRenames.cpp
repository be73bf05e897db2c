#include "folder/EntryRenames.h"

#include <algorithm>
#include <set>

#include "folder/CFileEntry.h"
#include "platform/Os.h"

namespace {

// '!' sorts before every letter, digit and most punctuation, so a scan meets names of an
// apply among the first it lists.
const std::string kApplyMarker = "!hanavo~";
const std::string kNoPrefix = "____";
constexpr std::size_t kPrefixLength = 4;

std::string PathOf(const std::string& folder, const std::string& name)
{
    return folder + "/" + name;
}

bool IsPrefix(const std::string& text)
{
    return CFileEntry(text).HasPrefix() && text.size() == kPrefixLength;
}

} // namespace

std::string ComposeApplyName(const std::string& oldName, const std::string& newName)
{
    const CFileEntry entry(oldName);
    const std::string display = entry.GetDisplayName();
    if (newName.size() != display.size() + kPrefixLength ||
        newName.compare(kPrefixLength, std::string::npos, display) != 0 ||
        !IsPrefix(newName.substr(0, kPrefixLength)))
        return std::string();
    return kApplyMarker + (entry.HasPrefix() ? oldName.substr(0, kPrefixLength) : kNoPrefix) +
           newName;
}

bool ParseApplyName(const std::string& name, std::string& oldName, std::string& newName)
{
    const std::size_t start = kApplyMarker.size();
    if (name.size() < start + 2 * kPrefixLength || name.compare(0, start, kApplyMarker) != 0)
        return false;
    const std::string oldPrefix = name.substr(start, kPrefixLength);
    const std::string newPrefix = name.substr(start + kPrefixLength, kPrefixLength);
    if ((oldPrefix != kNoPrefix && !IsPrefix(oldPrefix)) || !IsPrefix(newPrefix))
        return false;
    const std::string display = name.substr(start + 2 * kPrefixLength);
    oldName = (oldPrefix == kNoPrefix ? std::string() : oldPrefix) + display;
    newName = newPrefix + display;
    // A name without prefix whose display name looks like one would not read back as itself.
    return ComposeApplyName(oldName, newName) == name;
}

std::vector<std::string> ApplyEntryNames(const std::string& folder,
                                         const std::vector<EntryPlan>& plan)
{
    struct Step
    {
        const EntryPlan* entry;
        std::string current; // where the file is now
        bool failed = false;
    };
    std::vector<Step> steps;
    std::vector<bool> kept(plan.size(), false);
    // Two entries given one name: the later keeps its own, unless the earlier has it already.
    std::set<std::string> taken;
    for (const EntryPlan& entry : plan)
        if (entry.oldName == entry.newName)
            taken.insert(entry.newName);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].oldName == plan[i].newName)
            continue;
        if (!taken.insert(plan[i].newName).second)
            kept[i] = true;
        else
            steps.push_back({&plan[i], plan[i].oldName});
    }

    // First out of the way, so that no new name is held by a file of the plan; a file that
    // cannot move aside stays where it is and is renamed straight to its new name below.
    for (Step& step : steps) {
        const std::string aside = ComposeApplyName(step.entry->oldName, step.entry->newName);
        if (!aside.empty() &&
            platform::RenameNoReplace(PathOf(folder, step.current), PathOf(folder, aside)))
            step.current = aside;
    }
    for (Step& step : steps) {
        if (platform::RenameNoReplace(PathOf(folder, step.current),
                                      PathOf(folder, step.entry->newName)))
            continue;
        step.failed = true;
        // Back to the old name where it is still free; else the apply's name stays, and the
        // next scan tries again.
        if (step.current != step.entry->oldName)
            platform::RenameNoReplace(PathOf(folder, step.current),
                                      PathOf(folder, step.entry->oldName));
    }

    std::vector<std::string> failed;
    std::size_t next = 0;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (kept[i]) {
            failed.push_back(plan[i].oldName);
        } else if (next < steps.size() && steps[next].entry == &plan[i]) {
            if (steps[next].failed)
                failed.push_back(plan[i].oldName);
            ++next;
        }
    }
    return failed;
}

int RecoverEntryNames(const std::string& folder, const std::vector<std::string>& names)
{
    int recovered = 0;
    for (const std::string& name : names) {
        std::string oldName, newName;
        if (!ParseApplyName(name, oldName, newName))
            continue;
        // A listed old name may be this very file, left under both names by a move cut short
        // on a file system that moves by link and unlink: the first try then completes it.
        const bool oldListed = std::find(names.begin(), names.end(), oldName) != names.end();
        const std::string from = PathOf(folder, name);
        if ((oldListed && platform::RenameNoReplace(from, PathOf(folder, oldName))) ||
            platform::RenameNoReplace(from, PathOf(folder, newName)) ||
            platform::RenameNoReplace(from, PathOf(folder, oldName)))
            ++recovered;
    }
    return recovered;
}
