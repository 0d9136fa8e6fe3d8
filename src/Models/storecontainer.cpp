#include "storecontainer.h"

#include "sqlitestore.h"

#include <QDir>

QString storeOpenErrorMessage(StoreOpenError error, const QString &path)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (error) {
    case StoreOpenError::folderUnavailable:
        return u"无法创建数据文件夹 %1。"_qs.arg(file);
    case StoreOpenError::cannotOpen:
        return u"无法打开或创建数据文件 %1。"_qs.arg(file);
    case StoreOpenError::notAStore:
        return u"数据文件 %1 不是 Tarnwick 的数据库，未作任何改动。"_qs.arg(file);
    case StoreOpenError::unsupportedVersion:
        return u"数据文件 %1 属于另一版本的 Tarnwick，未作任何改动。"_qs.arg(file);
    case StoreOpenError::damaged:
        return u"数据文件 %1 已损坏，未作任何改动。"_qs.arg(file);
    case StoreOpenError::readOnly:
        return u"数据文件 %1 或它所在的文件夹无法写入。"_qs.arg(file);
    case StoreOpenError::inUse:
        return u"数据文件 %1 正被另一个运行中的 Tarnwick 使用。"_qs.arg(file);
    }
    return u"无法打开数据文件 %1。"_qs.arg(file);
}

StoreContainer::~StoreContainer() = default;

QString StoreContainer::lockFilePath(const QString &filePath)
{
    return SqliteStore::lockFilePath(filePath);
}

ContainerResult StoreContainer::open(const QString &filePath, StoreContext::NowFunction now, StoreFileAccess access)
{
    auto failed = [&filePath](StoreOpenError error) {
        return ContainerResult{nullptr, error, storeOpenErrorMessage(error, filePath)};
    };
    StoreOpenError error = StoreOpenError::cannotOpen;
    auto backend = SqliteStore::open(filePath, access, &error);
    if (!backend)
        return failed(error);
    auto loaded = backend->load();
    if (!loaded)
        return failed(StoreOpenError::damaged);

    std::unique_ptr<StoreContainer> container(new StoreContainer);
    container->m_filePath = filePath;
    container->m_context.reset(new StoreContext(*backend, std::move(now)));
    for (auto &row : loaded->records)
        container->m_context->adopt(row.number, std::move(row.record));
    container->m_context->setSequences(loaded->sequences);
    container->m_backend = std::move(backend);
    return ContainerResult{std::move(container), std::nullopt, {}};
}
