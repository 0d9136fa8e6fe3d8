#pragma once

#include "appopener.h"

// The desktop's own settings program: its notification page, or its start page. Fire-and-forget past the start;
// refused when this desktop has no settings program we know or it is not installed. Main thread; owned by main.cpp
// (or a test).
class SystemSettings
{
public:
    virtual ~SystemSettings() = default;

    virtual OpenResult openNotificationSettings() = 0;
    virtual OpenResult openSettings() = 0;
};
