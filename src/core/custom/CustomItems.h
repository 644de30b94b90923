#pragma once

#include <string>
#include <vector>

// The items of a custom report's selection and the TapeAlert entries, as the form shows them.

// A drive item of the drive/volser list: "Frame: <frame>  Drive: <drive>".
bool isDriveItem(const std::string& item);

struct DriveItem {
    std::string frame;
    std::string drive;
};
// The frame is the text from position 7 up to the next blank, the drive the text after the last
// ':' less one blank. A frame or drive that is not a plain number comes back as a quoted
// literal, so that a hostile stored item can only fail to match, never change a statement.
DriveItem parseDriveItem(const std::string& item);

// The item as a graph or table labels it: "Fr<frame>:Drv<drive>" for a drive, else the item.
std::string itemShortName(const std::string& item);

// The comma-separated selection cut into its items (empty pieces dropped).
std::vector<std::string> splitItems(const std::string& selection);
// The items joined by "," into one selection.
std::string joinItems(const std::vector<std::string>& items);

// The 42 entries of the TapeAlert selection, "number:name", in ascending order.
const std::vector<std::string>& tapeAlertEntries();
// The number before the entry's ':' (0 when there is none).
int tapeAlertNumber(const std::string& entry);
// The entry of a code number; empty when the code is not one of the 42.
std::string tapeAlertEntryFor(int code);

// Seconds back from now of a template's range: 1 "Last Day" 86400, 2 "Last Week" 604800,
// 3 "Last Month" 2592000 (30 days), 4 "Last 2 Months" 5184000 (60 days), 5 "Last 6 Months"
// 15552000 (180 days); 0 for any other code.
long customRangeSeconds(int rangeCode);
