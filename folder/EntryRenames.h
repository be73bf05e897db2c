// Applying a launch order to the files of a folder, whole: every file first moves to a name of
// the apply's own, then to its new name, so that any permutation of names succeeds; nothing
// is ever replaced. A name of the apply carries both the old and the new name, so that an apply
// cut short (power loss, a killed process) is put right by the next scan of the folder.
#pragma once

#include <string>
#include <vector>

struct EntryPlan
{
    std::string oldName; // the file's name now
    std::string newName; // the name the order gives it: prefix, then the same display name
};

// Renames the files of folder to their new names. A file that cannot be renamed (gone, a name
// taken by a file outside the plan, a folder that refuses changes) goes back to its old name
// where it can; a plan entry whose new name an earlier entry already takes keeps its old name.
// Returns the old names of the files that did not get their new name, in plan order.
std::vector<std::string> ApplyEntryNames(const std::string& folder,
                                         const std::vector<EntryPlan>& plan);

// The name a file carries between its old and its new name: "!hanavo~", the old prefix (or
// "____" when it had none), then the new name. Empty when the new name does not keep the old
// display name under a well-formed prefix.
std::string ComposeApplyName(const std::string& oldName, const std::string& newName);
// Reads a name made by ComposeApplyName back into both names; false for any other name.
bool ParseApplyName(const std::string& name, std::string& oldName, std::string& newName);

// Puts every listed name of an apply back to its new name, or, when that is taken, its old
// one. Returns how many were put back; a name that could go nowhere stays as it is.
int RecoverEntryNames(const std::string& folder, const std::vector<std::string>& names);
