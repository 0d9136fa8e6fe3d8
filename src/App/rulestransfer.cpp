#include "rulestransfer.h"

#include "appgroup.h"
#include "appstate.h"
#include "atomicfile.h"
#include "clock.h"
#include "floatingtoastcontroller.h"
#include "preferences.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "storecontainer.h"
#include "storecontext.h"
#include "supervisionexporter.h"
#include "supervisionimporter.h"
#include "supervisionrearm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString toastText(SupervisionImportError error)
{
    switch (error) {
    case SupervisionImportError::invalidFile:
        return u"不是有效的Tarnwick监督规则文件"_s;
    case SupervisionImportError::brokenReferences:
        return u"文件中的分组引用不完整"_s;
    }
    return {};
}

// Qt 6.4's own file dialog hands back a typed name as a URL without a scheme; both forms name a local file.
QString localPath(const QUrl &url)
{
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme().isEmpty() && QDir::isAbsolutePath(url.path()))
        return url.path();
    return {};
}

} // namespace

RulesTransfer::RulesTransfer(QObject *parent)
    : QObject(parent)
{
}

RulesTransfer::RulesTransfer(AppState &state, SupervisionRearm &rearm, QObject *parent)
    : QObject(parent)
    , m_rearm(&rearm)
{
    setState(&state);
}

RulesTransfer::~RulesTransfer() = default;

void RulesTransfer::setState(AppState *state)
{
    if (m_state == state)
        return;
    QObject::disconnect(m_stateConnection);
    m_state = state;
    m_ownRearm.reset();
    if (state) {
        if (!m_rearm)
            m_ownRearm = std::make_unique<AppStateSupervisionRearm>(*state);
        // The card's store counts are live.
        m_stateConnection = connect(state, &AppState::changed, this, &RulesTransfer::confirmationTitleChanged);
    }
    Q_EMIT stateChanged();
    Q_EMIT confirmationTitleChanged();
}

SupervisionRearm &RulesTransfer::rearm()
{
    return m_rearm ? *m_rearm : *m_ownRearm;
}

QString RulesTransfer::confirmationTitle() const
{
    if (!m_state || !m_pending)
        return {};
    StoreContext &context = m_state->container().mainContext();
    const SupervisionExport &file = m_pending->content;
    return confirmationText(context.fetch<RestrictionRule>().size(), context.fetch<QuitPlan>().size(),
                            context.fetch<AppGroup>().size(), file.restrictionRules.size(), file.quitPlans.size(),
                            file.groups.size());
}

QUrl RulesTransfer::startFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QUrl::fromLocalFile(folder);
}

bool RulesTransfer::prepareExport()
{
    m_prepared.reset();
    setPendingReplace(std::nullopt);
    if (!m_state)
        return false;
    const AppState::Seams &seams = m_state->seams();
    const QString slogan = seams.preferences.stringValue(SupervisionImporter::blockedSloganKey.toString())
                               .value_or(QString());
    StoreContext &context = m_state->container().mainContext();
    const Instant now = seams.clock.now();
    const SupervisionExport file = SupervisionExporter::makeExport(
        context.fetch<AppGroup>({}, &AppGroup::bySortIndex), context.fetch<RestrictionRule>(),
        context.fetch<QuitPlan>(), slogan, now);
    m_prepared = SupervisionExporter::encode(file);
    if (!m_prepared)
        return false;
    m_proposedFile = QUrl::fromLocalFile(QDir(startFolder().toLocalFile())
                                             .filePath(SupervisionExporter::defaultFileName(now)));
    Q_EMIT exportPrepared();
    return true;
}

void RulesTransfer::finishExport(const QUrl &file)
{
    const std::optional<QByteArray> bytes = std::exchange(m_prepared, std::nullopt);
    const QString path = localPath(file);
    if (!bytes || path.isEmpty())
        return;
    // An earlier export (the same day gives the same name) is a backup the user may still need.
    if (QFileInfo::exists(path)) {
        setPendingReplace(PendingReplace{path, *bytes});
        return;
    }
    writeExport(path, *bytes);
}

void RulesTransfer::writeExport(const QString &path, const QByteArray &bytes)
{
    if (!AtomicFile::write(path, bytes))
        return;
    setOutcomeLine(u"已导出："_s + QFileInfo(path).fileName());
}

void RulesTransfer::cancelExport()
{
    m_prepared.reset();
}

QString RulesTransfer::replaceQuestion() const
{
    if (!m_pendingReplace)
        return {};
    return u"「"_s + QFileInfo(m_pendingReplace->path).fileName() + u"」已存在，要替换它吗？"_s;
}

void RulesTransfer::confirmReplace()
{
    if (!m_pendingReplace)
        return;
    const PendingReplace pending = std::move(*m_pendingReplace);
    setPendingReplace(std::nullopt);
    writeExport(pending.path, pending.bytes);
}

void RulesTransfer::cancelReplace()
{
    setPendingReplace(std::nullopt);
}

void RulesTransfer::setPendingReplace(std::optional<PendingReplace> pending)
{
    if (!pending && !m_pendingReplace)
        return;
    m_pendingReplace = std::move(pending);
    Q_EMIT pendingReplaceChanged();
}

std::optional<QByteArray> RulesTransfer::readRulesFile(const QString &path)
{
    // A FIFO or a device would block the window, a huge file take its memory: only a plain file of a sane size.
    const QFileInfo info(AtomicFile::resolvedPath(path));
    if (!info.exists() || !info.isFile() || info.size() > maxFileSize)
        return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(maxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxFileSize)
        return std::nullopt;
    return bytes;
}

void RulesTransfer::beginImport(const QUrl &file)
{
    const QString path = localPath(file);
    if (!m_state || path.isEmpty())
        return;
    const std::optional<QByteArray> bytes = readRulesFile(path);
    if (!bytes)
        return;
    auto decoded = SupervisionImporter::decode(*bytes);
    if (const auto *error = std::get_if<SupervisionImportError>(&decoded)) {
        m_state->toast().show(toastText(*error));
        return;
    }
    SupervisionExport content = std::get<SupervisionExport>(std::move(decoded));
    if (const auto error = SupervisionImporter::validate(content)) {
        m_state->toast().show(toastText(*error));
        return;
    }
    setPending(PendingImport{std::move(content), QFileInfo(path).fileName()});
}

void RulesTransfer::confirmImport()
{
    if (!m_state || !m_pending)
        return;
    AppState &state = *m_state;
    const AppState::Seams &seams = state.seams();
    StoreContext &context = state.container().mainContext();
    if (SupervisionImporter::apply(m_pending->content, context, seams.preferences)
        != SupervisionApplyResult::applied) {
        state.toast().show(u"导入失败，数据未改动"_s);
        setPending(std::nullopt);
        return;
    }
    const PendingImport imported = std::move(*m_pending);
    setPending(std::nullopt);
    SupervisionRearm &guards = rearm();
    guards.rearmGuards();
    guards.refreshSupervisionStatus();
    guards.rescheduleQuitPlans();
    state.publishStoreChange();
    // Every group was replaced: a selection naming one of the old ones would light no tab.
    if (const auto &selected = state.selectedGroupID(); selected && !context.record<AppGroup>(*selected))
        state.setSelectedGroupID(std::nullopt);
    const SupervisionExport &file = imported.content;
    setOutcomeLine(importedLine(imported.fileName, file.restrictionRules.size(), file.quitPlans.size(),
                                file.groups.size()));
}

void RulesTransfer::cancelImport()
{
    setPending(std::nullopt);
}

QString RulesTransfer::confirmationText(qsizetype storeRules, qsizetype storePlans, qsizetype storeGroups,
                                        qsizetype fileRules, qsizetype filePlans, qsizetype fileGroups)
{
    return u"将覆盖当前的 %1 条禁启规则、%2 条计划、%3 个分组与禁启标语，替换为文件中的 %4 条规则、%5 条计划、%6 个分组。此操作不可撤销。"_s
        .arg(storeRules)
        .arg(storePlans)
        .arg(storeGroups)
        .arg(fileRules)
        .arg(filePlans)
        .arg(fileGroups);
}

QString RulesTransfer::importedLine(const QString &fileName, qsizetype rules, qsizetype plans, qsizetype groups)
{
    return u"已导入：%1（规则 %2 · 计划 %3 · 分组 %4）"_s.arg(fileName, QString::number(rules), QString::number(plans),
                                                     QString::number(groups));
}

void RulesTransfer::setOutcomeLine(const QString &line)
{
    if (m_outcomeLine == line)
        return;
    m_outcomeLine = line;
    Q_EMIT outcomeLineChanged();
}

void RulesTransfer::setPending(std::optional<PendingImport> pending)
{
    const bool had = m_pending.has_value();
    m_pending = std::move(pending);
    if (had != m_pending.has_value() || m_pending)
        Q_EMIT pendingImportChanged();
    Q_EMIT confirmationTitleChanged();
}
