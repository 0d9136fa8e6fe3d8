#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Which pages of the paged grid build their tiles: those within two of `center`; the others are empty placeholders of
// a page's size, so a grid of many pages costs what five pages cost. The pager keeps `center` on its current page.
// Main thread only; owned by the paged grid.
class PageWindow : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the paged grid in C++")
    Q_PROPERTY(int center READ center NOTIFY centerChanged)
public:
    explicit PageWindow(QObject *parent = nullptr);

    [[nodiscard]] int center() const { return m_center; }
    void setCenter(int center);

    // Views pass `center` along so that their binding follows it.
    [[nodiscard]] Q_INVOKABLE static bool isPlaceholder(int page, int center);

Q_SIGNALS:
    void centerChanged();

private:
    int m_center = 0;
};
