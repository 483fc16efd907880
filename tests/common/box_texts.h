// The texts of the message boxes recorded since the records were last cleared.
#pragma once
#include <string>
#include <vector>

#include "platform/msgbox.h"

inline std::vector<std::string> BoxTexts()
{
    std::vector<std::string> texts;
    for (const plat_box_record& r : plat_message_box_records())
        texts.push_back(r.text);
    return texts;
}
