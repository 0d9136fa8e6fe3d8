#pragma once

#include <QString>

// The system clipboard: emptied, or given one plain text. Main thread; owned by main.cpp (or a test).
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
};
