#pragma once
// The 30 page classes, by design number. Each one grows its own source file
// as its page gets behaviour of its own.
#include "PageBase.h"
#include "resource.h"

#define TARVO_PAGE_CLASS(cls, number, art)                                                                             \
    class cls : public CWizardPage {                                                                                   \
    public:                                                                                                            \
        explicit cls(CWnd* parent) : CWizardPage(number, IDD_##cls, &CUIStr::art, parent) {}                          \
    };

TARVO_PAGE_CLASS(CP1, 1, IDS_PAGE1)
TARVO_PAGE_CLASS(CP2, 2, IDS_PAGE2)
TARVO_PAGE_CLASS(CP3, 3, IDS_PAGE3)
TARVO_PAGE_CLASS(CP3A, 4, IDS_PAGE3A)
TARVO_PAGE_CLASS(CP4, 5, IDS_PAGE4)
TARVO_PAGE_CLASS(CP4A, 6, IDS_PAGE4A)
TARVO_PAGE_CLASS(CP4B, 7, IDS_PAGE4B)
TARVO_PAGE_CLASS(CP4B1, 8, IDS_PAGE4B1)
TARVO_PAGE_CLASS(CP4B2, 9, IDS_PAGE4B2)
TARVO_PAGE_CLASS(CP4B3, 10, IDS_PAGE4B3)
TARVO_PAGE_CLASS(CP4C, 11, IDS_PAGE4C)
TARVO_PAGE_CLASS(CP4D, 12, IDS_PAGE4D)
TARVO_PAGE_CLASS(CP4E, 13, IDS_PAGE4E)
TARVO_PAGE_CLASS(CP4F, 14, IDS_PAGE4F)
TARVO_PAGE_CLASS(CP4G, 15, IDS_PAGE4G)
TARVO_PAGE_CLASS(CP5, 16, IDS_PAGE5)
TARVO_PAGE_CLASS(CP6, 17, IDS_PAGE6)
TARVO_PAGE_CLASS(CP7, 18, IDS_PAGE7)
TARVO_PAGE_CLASS(CP8, 19, IDS_PAGE8)
TARVO_PAGE_CLASS(CP9, 20, IDS_PAGE9)
TARVO_PAGE_CLASS(CP10, 21, IDS_PAGE10)
TARVO_PAGE_CLASS(CP11, 22, IDS_PAGE11)
TARVO_PAGE_CLASS(CP12, 23, IDS_PAGE12)
TARVO_PAGE_CLASS(CP13A, 24, IDS_PAGE13A)
TARVO_PAGE_CLASS(CP13B, 25, IDS_PAGE13B)
TARVO_PAGE_CLASS(CP13C, 26, IDS_PAGE13C)
TARVO_PAGE_CLASS(CP13D, 27, IDS_PAGE13D)
TARVO_PAGE_CLASS(CP14, 28, IDS_PAGE14)
TARVO_PAGE_CLASS(CP15, 29, IDS_PAGE15)
TARVO_PAGE_CLASS(CP8A, 30, IDS_PAGE8A)

#undef TARVO_PAGE_CLASS
