// Any file name reads without fault, and a name the writer composes always reads back the place,
// the state and the display name it was written with.
#include <climits>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "folder/CFileEntry.h"
#include "folder/EntryName.h"
#include "fuzz/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int place = input.ConsumeIntegral<int>();
    const int check = input.ConsumeIntegralInRange<int>(-2, 3);
    const std::string name = input.ConsumeRemainingBytesAsString();

    // Reading: the display name is the name, or the name less exactly one four-byte prefix.
    const CFileEntry entry(name);
    const std::string display = entry.GetDisplayName();
    if (entry.HasPrefix())
        REQUIRE(name.size() >= 4 && name.substr(4) == display);
    else
        REQUIRE(display == name && entry.IsEnabled());

    // Writing, then reading again.
    const std::string written = ComposeEntryName(place, check, entry);
    const CFileEntry back(written);
    REQUIRE(back.HasPrefix());
    REQUIRE(back.GetDisplayName() == display);
    REQUIRE(back.IsEnabled() == (check == 1));
    const int expectedPlace = place < 0 ? 1 : place >= kMaxEntryPlace ? kMaxEntryPlace : place + 1;
    REQUIRE((written[0] - '0') * 10 + (written[1] - '0') == expectedPlace);
    return 0;
}
