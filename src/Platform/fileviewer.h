#pragma once

#include <QList>
#include <QUrl>

// Shows files in the desktop's file manager with the given items selected. Nothing comes back: the caller has no use
// for whether a file manager answered. Main thread; owned by main.cpp (or a test) and handed by reference.
class FileViewer
{
public:
    virtual ~FileViewer() = default;

    // `urls` are file URLs (an app's .desktop file or bundle folder).
    virtual void revealItems(const QList<QUrl> &urls) = 0;
};
