// Writes a supervision set-up into the program's data folder before a start, as the program itself would have
// stored it, for the program's end-to-end checks (the folder follows $XDG_DATA_HOME, like the program's):
//   supervisionseed block <bundleID>              a restriction rule on the app, all day, every day
//   supervisionseed session <bundleID> <minutes>  a running focus session on the app, ending that many minutes on

#include "datalocation.h"
#include "focussessionstore.h"
#include "instant.h"
#include "persistencecontroller.h"
#include "restrictionrule.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const auto now = [] { return Instant{std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now())}; };
    if (args.size() == 3 && args[1] == u"block"_qs) {
        ContainerResult opened = PersistenceController::makeContainer(false, now);
        if (!opened.container) {
            std::fprintf(stderr, "supervisionseed: cannot open the store\n");
            return 1;
        }
        StoreContext &context = opened.container->mainContext();
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, args[2], 0, 1439,
                                                         QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt));
        return context.save() == SaveResult::failed ? 1 : 0;
    }
    if (args.size() == 4 && args[1] == u"session"_qs) {
        QDir().mkpath(DataLocation::dataFolder());
        FocusSession session;
        session.bundleID = args[2];
        session.appName = args[2];
        session.deadline = now() + std::chrono::minutes(args[3].toInt());
        return FocusSessionStore(DataLocation::dataFolder()).saveAll({session})
                       == FocusSessionStore::WriteResult::written
                   ? 0
                   : 1;
    }
    std::fprintf(stderr, "usage: supervisionseed block <bundleID> | session <bundleID> <minutes>\n");
    return 2;
}
