// A bulletin's row on the lock screen, with its own unlock bar. Sliding the
// bar sends the cell `lockBarUnlocked:` through the runtime; SpringBoard's
// behaviour then unlocks the device and opens what the bulletin's default
// action points at. The cell's action context names the bulletin (by its
// bulletin id) and the action that unlocking runs.
#pragma once

#include "BBBulletin.h"

#include <uikit/UITableViewCell.h>

namespace springboard {

class SBUnlockActionContext : public runtime::Object {
    PLV_CLASS(SBUnlockActionContext, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBUnlockActionContext>&);

    static runtime::Ref<SBUnlockActionContext> forBulletin(const BBBulletin&);

    const std::string& bulletinID() const { return m_bulletinID; }
    runtime::Id unlockAction() const { return m_unlockAction; }

private:
    std::string m_bulletinID;
    runtime::Id m_unlockAction;
};

class SBAwayBulletinCell : public uikit::UITableViewCell {
    PLV_CLASS(SBAwayBulletinCell, uikit::UITableViewCell)
public:
    static void registerMethods(runtime::ClassBuilder<SBAwayBulletinCell>&);

    static runtime::Ref<SBAwayBulletinCell> withReuseIdentifier(const std::string&);

    void setBulletin(const runtime::Ref<BBBulletin>&);
    runtime::Id actionContext() const { return m_actionContext; }
    void lockBarUnlocked(const runtime::Id& sender);

    runtime::Ref<uikit::UIView> lockBar() const { return m_lockBar; }

private:
    runtime::Id m_actionContext;
    runtime::Ref<uikit::UIView> m_lockBar;
};

} // namespace springboard
