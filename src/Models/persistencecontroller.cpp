#include "persistencecontroller.h"

#include "appgroup.h"
#include "datalocation.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QDir>
#include <QHash>

#include <tuple>

namespace PersistenceController {

ContainerResult makeContainer(bool inMemory, StoreContext::NowFunction now, const std::optional<QString> &baseFolder)
{
    if (inMemory)
        return StoreContainer::open(QString(), std::move(now));
    const QString folder = baseFolder ? DataLocation::dataFolderIn(*baseFolder) : DataLocation::dataFolder();
    if (!QDir().mkpath(folder))
        return ContainerResult{nullptr, StoreOpenError::folderUnavailable,
                               storeOpenErrorMessage(StoreOpenError::folderUnavailable, folder)};
    return StoreContainer::open(folder + u'/' + storeFileName.toString(), std::move(now));
}

void migrateGroupReferencesToStableID(StoreContext &context)
{
    bool changed = false;
    QHash<QString, QString> refIDByStoreText;
    for (AppGroup *group : context.fetch<AppGroup>()) {
        if (!group->stableID()) {
            group->setStableID(AppGroup::newStableID());
            changed = true;
        }
        refIDByStoreText.insert(group->storeID().text(), group->refID());
    }

    for (RestrictionRule *rule : context.fetch<RestrictionRule>()) {
        if (rule->targetKindRaw() != rawValue(RestrictionTarget::group))
            continue;
        const auto it = refIDByStoreText.constFind(rule->targetID());
        if (it != refIDByStoreText.constEnd() && *it != rule->targetID()) {
            rule->setTargetID(*it);
            changed = true;
        }
    }

    for (QuitPlan *plan : context.fetch<QuitPlan>()) {
        if (plan->targetKindRaw() != rawValue(QuitPlanTarget::group))
            continue;
        const auto it = refIDByStoreText.constFind(plan->groupID());
        if (it != refIDByStoreText.constEnd() && *it != plan->groupID()) {
            plan->setGroupID(*it);
            changed = true;
        }
    }

    if (changed)
        std::ignore = context.save(); // a failed save is done again at the next start
}

} // namespace PersistenceController
