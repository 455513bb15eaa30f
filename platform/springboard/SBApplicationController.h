// The applications installed on the phone, by display identifier: the
// Messages and Mail applications are always there; the host may add others
// (the settings application) with `addApplication`.
#pragma once

#include "SBApplication.h"

#include <vector>

namespace springboard {

class SBApplicationController : public runtime::Object {
    PLV_CLASS(SBApplicationController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBApplicationController>&);

    static runtime::Ref<SBApplicationController> sharedInstance();

    // nil for an identifier no installed application has.
    runtime::Ref<SBApplication> applicationWithDisplayIdentifier(const std::string&) const;
    const std::vector<runtime::Ref<SBApplication>>& allApplications() const { return m_applications; }
    // Replaces an application of the same identifier.
    void addApplication(const runtime::Ref<SBApplication>&);

private:
    std::vector<runtime::Ref<SBApplication>> m_applications;
};

} // namespace springboard
