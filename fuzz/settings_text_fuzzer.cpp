// Any settings file reads without fault and gives values of the right kind; values set in any
// file read back as written (less the blanks at their ends), leave other groups as they were,
// and setting them again changes nothing.
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "platform/Number.h"
#include "platform/linux/SettingsText.h"

namespace {

const char* const kNames[] = {"Seconds", "Command", "Options", "TopDir", "Foreground"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<platform::SettingsValue> values;
    const int count = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        std::string value = input.ConsumeRandomLengthString(64);
        if (platform::IsWritableValue(value))
            values.emplace_back(kNames[input.ConsumeIntegralInRange(0, 4)], std::move(value));
    }
    const std::string text = input.ConsumeRemainingBytesAsString();

    // Reading: a value is one line's rest, without blanks at its ends; a number is whole.
    for (const char* name : kNames) {
        if (auto value = platform::FindSettingsValue(text, "Settings", name)) {
            REQUIRE(value->find('\n') == std::string::npos);
            REQUIRE(platform::TrimBlanks(*value).size() == value->size());
            int number = 0;
            if (platform::ParseInt32(*value, number))
                REQUIRE(value->find_first_not_of("+-0123456789") == std::string::npos);
        }
    }

    const std::string written = platform::SetSettingsValues(text, "Settings", values);
    // The last value given for a name is the one that counts.
    std::map<std::string, std::string> last;
    for (const auto& value : values)
        last[value.first] = value.second;
    for (const auto& [name, value] : last)
        REQUIRE(platform::FindSettingsValue(written, "Settings", name) ==
                std::string(platform::TrimBlanks(value)));
    for (const char* name : kNames)
        REQUIRE(platform::FindSettingsValue(written, "Other", name) ==
                platform::FindSettingsValue(text, "Other", name));
    REQUIRE(platform::SetSettingsValues(written, "Settings", values) == written);
    return 0;
}
