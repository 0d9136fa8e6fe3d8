#pragma once

#include "fileviewer.h"

// Records every reveal, in order.
class FakeFileViewer : public FileViewer
{
public:
    void revealItems(const QList<QUrl> &urls) override { m_revealed.append(urls); }

    [[nodiscard]] const QList<QList<QUrl>> &revealed() const { return m_revealed; }

private:
    QList<QList<QUrl>> m_revealed;
};
