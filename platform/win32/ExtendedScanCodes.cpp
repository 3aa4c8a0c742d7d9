#include "ExtendedScanCodes.h"

#include <windows.h>

namespace platform {

namespace {

struct ExtendedRow {
    uint8_t scanCode;
    uint8_t virtualKey;
};

constexpr ExtendedRow ExtendedTable[] = {
    {0x10, VK_MEDIA_PREV_TRACK}, {0x19, VK_MEDIA_NEXT_TRACK}, {0x1C, VK_RETURN},
    {0x1D, VK_RCONTROL},         {0x20, VK_VOLUME_MUTE},      {0x21, VK_LAUNCH_APP2},
    {0x22, VK_MEDIA_PLAY_PAUSE}, {0x24, VK_MEDIA_STOP},       {0x2E, VK_VOLUME_DOWN},
    {0x30, VK_VOLUME_UP},        {0x32, VK_BROWSER_HOME},     {0x35, VK_DIVIDE},
    {0x37, VK_SNAPSHOT},         {0x38, VK_RMENU},            {0x46, VK_CANCEL},
    {0x47, VK_HOME},             {0x48, VK_UP},               {0x49, VK_PRIOR},
    {0x4B, VK_LEFT},             {0x4D, VK_RIGHT},            {0x4F, VK_END},
    {0x50, VK_DOWN},             {0x51, VK_NEXT},             {0x52, VK_INSERT},
    {0x53, VK_DELETE},           {0x5B, VK_LWIN},             {0x5C, VK_RWIN},
    {0x5D, VK_APPS},             {0x5F, VK_SLEEP},            {0x65, VK_BROWSER_SEARCH},
    {0x66, VK_BROWSER_FAVORITES}, {0x67, VK_BROWSER_REFRESH}, {0x68, VK_BROWSER_STOP},
    {0x69, VK_BROWSER_FORWARD},  {0x6A, VK_BROWSER_BACK},     {0x6B, VK_LAUNCH_APP1},
    {0x6C, VK_LAUNCH_MAIL},      {0x6D, VK_LAUNCH_MEDIA_SELECT},
};

}  // namespace

uint16_t virtualKeyOfExtendedScanCode(uint16_t scanCode) {
    for (const ExtendedRow& row : ExtendedTable)
        if (row.scanCode == scanCode) return row.virtualKey;
    return 0;
}

}  // namespace platform
