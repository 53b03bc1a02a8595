#include "Pages.h"

namespace {
template <typename Page> std::unique_ptr<CWizardPage> Make(CWnd* parent)
{
    return std::make_unique<Page>(parent);
}
using Factory = std::unique_ptr<CWizardPage> (*)(CWnd*);

// Index = page number - 1: the order in which the main window creates them.
constexpr Factory kPages[] = {
    Make<CP1>,   Make<CP2>,   Make<CP3>,   Make<CP3A>, Make<CP4>,  Make<CP4A>, Make<CP4B>, Make<CP4B1>,
    Make<CP4B2>, Make<CP4B3>, Make<CP4C>,  Make<CP4D>, Make<CP4E>, Make<CP4F>, Make<CP4G>, Make<CP5>,
    Make<CP6>,   Make<CP7>,   Make<CP8>,   Make<CP9>,  Make<CP10>, Make<CP11>, Make<CP12>, Make<CP13A>,
    Make<CP13B>, Make<CP13C>, Make<CP13D>, Make<CP14>, Make<CP15>, Make<CP8A>,
};
static_assert(std::size(kPages) == 30);
} // namespace

std::unique_ptr<CWizardPage> CreatePageObject(int n, CWnd* parent, CWizardSession& session)
{
    std::unique_ptr<CWizardPage> page = kPages[n - 1](parent);
    page->AttachSession(session);
    return page;
}
