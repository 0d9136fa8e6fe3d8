#include "linuxclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void LinuxClipboard::clear()
{
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void LinuxClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}
