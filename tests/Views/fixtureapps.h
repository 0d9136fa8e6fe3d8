#pragma once

#include "appinfo.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>

// Apps with Chinese names and an icon each (a coloured rounded square with the name's first character), written to
// `iconDir` as PNG files, for view tests and screenshots.
namespace FixtureApps {

inline QStringList names()
{
    return {u"微信"_qs,     u"网易云音乐"_qs, u"哔哩哔哩"_qs,   u"钉钉"_qs,     u"企业微信"_qs, u"腾讯会议"_qs,
            u"飞书"_qs,     u"百度网盘"_qs,   u"WPS 文字"_qs,   u"QQ音乐"_qs,   u"爱奇艺"_qs,   u"优酷视频"_qs,
            u"迅雷"_qs,     u"搜狗输入法"_qs, u"有道词典"_qs,   u"高德地图"_qs, u"美团"_qs,     u"支付宝"_qs,
            u"淘宝"_qs,     u"京东"_qs,       u"拼多多"_qs,     u"抖音"_qs,     u"快手"_qs,     u"小红书"_qs,
            u"知乎"_qs,     u"豆瓣"_qs,       u"喜马拉雅"_qs,   u"得到"_qs,     u"滴滴出行"_qs, u"携程旅行"_qs,
            u"印象笔记"_qs, u"有道云笔记"_qs, u"腾讯视频"_qs,   u"芒果TV"_qs,   u"西瓜视频"_qs, u"今日头条"_qs,
            u"微博"_qs,     u"虎牙直播"_qs,   u"斗鱼直播"_qs,   u"网易邮箱大师"_qs};
}

inline QString iconPath(const QString &dir, int i)
{
    return QDir(dir).filePath(u"icon%1.png"_qs.arg(i));
}

inline QList<AppInfo> make(int count, const QString &iconDir)
{
    const QStringList all = names();
    QList<AppInfo> apps;
    for (int i = 0; i < count; ++i) {
        AppInfo app;
        app.bundleID = u"cn.example.app%1"_qs.arg(i, 3, 10, QChar(u'0'));
        app.name = all.at(i % all.size()) + (i < all.size() ? QString() : QString::number(i / all.size() + 1));
        app.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + app.bundleID + u".desktop"_qs);
        apps.append(app);
        const QString path = iconPath(iconDir, i);
        if (QFile::exists(path))
            continue;
        QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor::fromHsv((i * 47) % 360, 150, 225));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(4, 4, 120, 120), 28, 28);
        p.setPen(Qt::white);
        QFont font(u"WenQuanYi Micro Hei"_qs);
        font.setPixelSize(60);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 128, 128), Qt::AlignCenter, app.name.left(1));
        p.end();
        image.save(path);
    }
    return apps;
}

} // namespace FixtureApps
