#pragma once

#include "../App/appstatefixture.h"
#include "../support/applists.h"
#include "appgroup.h"
#include "appmeta.h"

#include <QCoreApplication>

// A started state whose first scan found a few apps (Chinese names), and helpers for its groups.
struct GroupsFixture
{
    AppStateFixture f;
    AppState *state = nullptr;

    GroupsFixture()
    {
        state = &f.start();
        f.finishScan(apps());
    }
    static QList<AppInfo> apps()
    {
        using AppLists::app;
        return {app(u"org.example.editor"_qs, u"文本编辑器"_qs), app(u"org.example.calc"_qs, u"计算器"_qs),
                app(u"org.example.music"_qs, u"音乐"_qs), app(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs)};
    }
    static AppInfo appOf(const QString &id)
    {
        for (const AppInfo &a : apps()) {
            if (a.bundleID == id)
                return a;
        }
        return AppLists::app(id, id);
    }
    StoreContext &store() { return state->container().mainContext(); }
    AppGroup *addGroup(const QString &name, int sortIndex, const QStringList &members = {})
    {
        auto *g = store().insert(std::make_unique<AppGroup>(name, sortIndex, members));
        std::ignore = store().save();
        return g;
    }
    // The groups' names in tab order.
    QStringList names()
    {
        QStringList out;
        for (const AppGroup *g : state->groups())
            out.append(g->name());
        return out;
    }
    QList<int> sortIndexes()
    {
        QList<int> out;
        for (const AppGroup *g : state->groups())
            out.append(g->sortIndex());
        return out;
    }
    // Lets the store's change notices (one per turn) arrive.
    static void settle() { QCoreApplication::processEvents(); }
};
