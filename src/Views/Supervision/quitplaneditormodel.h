#pragma once

#include "apppickermodel.h"
#include "supervisionkinds.h"
#include "supervisionwritehooks.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqml.h>

class AppState;
class QuitPlan;

// The plan editor's copy of one timed-quit plan: its target (a group, or apps picked one by one; both are kept
// while the user switches), its quit minute, its days and the block after the quit. open() loads the record; the
// setters change only the copy; save() writes it back, saves and reschedules the quit timers; cancel() drops it
// (and deletes a plan made for this editor). Main thread; made in C++ and handed to the panel.
class QuitPlanEditorModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY openChanged)
    Q_PROPERTY(int targetKind READ targetKindRaw WRITE setTargetKindRaw NOTIFY edited)
    Q_PROPERTY(QString groupID READ groupID WRITE setGroupID NOTIFY edited)
    Q_PROPERTY(QStringList selectedBundleIDs READ selectedBundleIDs WRITE setSelectedBundleIDs NOTIFY edited)
    Q_PROPERTY(int quitMinute READ quitMinute WRITE setQuitMinute NOTIFY edited)
    Q_PROPERTY(bool repeatDaily READ repeatDaily WRITE setRepeatDaily NOTIFY edited)
    Q_PROPERTY(QList<int> weekdays READ weekdays WRITE setWeekdays NOTIFY edited)
    Q_PROPERTY(bool blockOn READ blockOn WRITE setBlockOn NOTIFY edited)
    Q_PROPERTY(bool blockByMinutes READ blockByMinutes WRITE setBlockByMinutes NOTIFY edited)
    Q_PROPERTY(int blockMinutes READ blockMinutes WRITE setBlockMinutes NOTIFY edited)
    Q_PROPERTY(int blockUntilMinute READ blockUntilMinute WRITE setBlockUntilMinute NOTIFY edited)
    Q_PROPERTY(bool untilNextDay READ untilNextDay NOTIFY edited)
    Q_PROPERTY(bool isValid READ isValid NOTIFY edited)
    Q_PROPERTY(QVariantList groupChoices READ groupChoices NOTIFY edited)
    Q_PROPERTY(int groupIndex READ groupIndex NOTIFY edited)
    Q_PROPERTY(AppPickerModel *appPicker READ appPicker CONSTANT)

public:
    // The arrows' range of the block length, and what save() holds a typed length to.
    static constexpr int minBlockMinutes = 1;
    static constexpr int maxBlockMinutes = 1439;

    QuitPlanEditorModel(AppState &state, SupervisionWriteHooks hooks, QObject *parent = nullptr);

    void open(QuitPlan *plan, bool isNew);
    [[nodiscard]] bool isOpen() const { return m_plan != nullptr; }
    [[nodiscard]] bool isNew() const { return m_isNew; }

    [[nodiscard]] QuitPlanTarget targetKind() const { return m_targetKind; }
    [[nodiscard]] int targetKindRaw() const { return rawValue(m_targetKind); }
    void setTargetKindRaw(int raw);
    [[nodiscard]] const QString &groupID() const { return m_groupID; }
    void setGroupID(const QString &id);
    // Sorted, without repeats.
    [[nodiscard]] const QStringList &selectedBundleIDs() const { return m_selectedBundleIDs; }
    void setSelectedBundleIDs(const QStringList &ids);
    [[nodiscard]] int quitMinute() const { return m_quitMinute; }
    void setQuitMinute(int minute);
    [[nodiscard]] bool repeatDaily() const { return m_repeatDaily; }
    void setRepeatDaily(bool daily);
    [[nodiscard]] const QList<int> &weekdays() const { return m_weekdays; }
    void setWeekdays(const QList<int> &days);
    [[nodiscard]] bool blockOn() const { return m_blockOn; }
    void setBlockOn(bool on);
    [[nodiscard]] bool blockByMinutes() const { return m_blockByMinutes; }
    void setBlockByMinutes(bool byMinutes);
    // As typed; save() clamps.
    [[nodiscard]] int blockMinutes() const { return m_blockMinutes; }
    void setBlockMinutes(int minutes);
    [[nodiscard]] int blockUntilMinute() const { return m_blockUntilMinute; }
    void setBlockUntilMinute(int minute);
    // "次日" beside the block's end: the quit is not before it, equal times included.
    [[nodiscard]] bool untilNextDay() const { return m_quitMinute >= m_blockUntilMinute; }

    // A target of the shown kind (a group reference, existing or not, or at least one app) and a day.
    [[nodiscard]] bool isValid() const;
    [[nodiscard]] QVariantList groupChoices() const;
    // The entry of groupChoices() the pop-up shows: the one whose value is the group reference; −1 (a blank pop-up)
    // for a reference no group has.
    [[nodiscard]] int groupIndex() const;
    // A pick in the pop-up: its value becomes the group reference.
    Q_INVOKABLE void chooseGroup(int index);
    // The rows of the apps card: the targetable apps of the opening, checked as selectedBundleIDs.
    [[nodiscard]] AppPickerModel *appPicker() { return &m_appPicker; }

    // Writes the copy into the plan, saves, reschedules and closes. Nothing while invalid or closed.
    Q_INVOKABLE void save();
    // Closes; a new plan is deleted and saved away (nothing to reschedule: it never had a target).
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void openChanged();
    void edited();

private:
    void load();
    void close();
    template <class T>
    void assign(T &field, T value)
    {
        if (field == value)
            return;
        field = std::move(value);
        Q_EMIT edited();
    }

    AppState &m_state;
    SupervisionWriteHooks m_hooks;
    QuitPlan *m_plan = nullptr;
    bool m_isNew = false;
    QuitPlanTarget m_targetKind = QuitPlanTarget::apps;
    QString m_groupID;
    QStringList m_selectedBundleIDs;
    int m_quitMinute = 0;
    bool m_repeatDaily = true;
    QList<int> m_weekdays;
    bool m_blockOn = false;
    bool m_blockByMinutes = true;
    int m_blockMinutes = 60;
    int m_blockUntilMinute = 0;
    AppPickerModel m_appPicker;
};
