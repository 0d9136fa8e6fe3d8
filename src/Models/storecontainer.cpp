#include "storecontainer.h"

#include "sqlitestore.h"

StoreContainer::~StoreContainer() = default;

ContainerResult StoreContainer::open(const QString &filePath, StoreContext::NowFunction now)
{
    StoreOpenError error = StoreOpenError::cannotOpen;
    auto backend = SqliteStore::open(filePath, &error);
    if (!backend)
        return ContainerResult{nullptr, error};
    auto loaded = backend->load();
    if (!loaded)
        return ContainerResult{nullptr, StoreOpenError::notAStore};

    std::unique_ptr<StoreContainer> container(new StoreContainer);
    container->m_filePath = filePath;
    container->m_context.reset(new StoreContext(*backend, std::move(now)));
    for (auto &row : loaded->records)
        container->m_context->adopt(row.number, std::move(row.record));
    container->m_context->setSequences(loaded->sequences);
    container->m_backend = std::move(backend);
    return ContainerResult{std::move(container), std::nullopt};
}
