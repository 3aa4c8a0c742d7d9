#pragma once
// What an injector borrows from whoever uses it: the pause between events,
// the stop request that ends long actions early, and the record of what is
// left pressed. A run lends its own; the main window lends a plain one.

#include <cstddef>
#include <vector>

#include "platform/InputRecords.h"
#include "platform/Platform.h"

// The keys and buttons that were pressed and not yet released, each kept as
// the record that releases it, oldest press first. A key pressed twice is
// held once, since one release lets it go.
class HeldInputs {
public:
    HeldInputs();
    // After a press was sent: release is the record that undoes it.
    void pressed(const platform::InputRecord& release);
    // After a release was sent: the matching press is no longer held.
    void released(const platform::InputRecord& release);
    bool empty() const { return releases_.empty(); }
    // Takes every release, newest press first, leaving the record empty.
    std::vector<platform::InputRecord> takeNewestFirst();

private:
    std::vector<platform::InputRecord> releases_;
};

// interrupted() (from SendInterruption) answers whether the lender asks its
// long actions to end now: a run's stop request, or its os.exit.
class InjectionContext : public platform::SendInterruption {
public:
    // Pauses for milliseconds (callers pass only positive ones). False when
    // the lender's end cut it short.
    virtual bool pause(double milliseconds) = 0;
    // Where presses and releases are noted, or null when nobody keeps them.
    virtual HeldInputs* heldInputs() = 0;

protected:
    ~InjectionContext() = default;
};

// For an injector outside any run: plain sleeps, never a stop, no record.
class PlainInjectionContext final : public InjectionContext {
public:
    bool pause(double milliseconds) override;
    bool interrupted() const override { return false; }
    HeldInputs* heldInputs() override { return nullptr; }
};
