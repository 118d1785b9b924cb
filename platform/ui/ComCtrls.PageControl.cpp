// The page control and its pages: which page shows, and the pages' place
// below the tab row.

#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { SetVisible(false); }

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (pageControl_ == Value)
        return;
    if (pageControl_)
        pageControl_->RemovePage(this);
    pageControl_ = Value;
    if (Value)
        Value->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool Value)
{
    tabVisible_ = Value;
    if (pageControl_)
        pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const
{
    if (!pageControl_)
        return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::Dispatch(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && pageControl_)
        pageControl_->UpdateTabs();
}

TPageControl::TPageControl(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    for (TTabSheet* page : pages_)
        page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("Page index out of bounds (" + std::to_string(Index) + ")");
    return pages_[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    pages_.push_back(Page);
    Page->SetParent(this);
    if (!activePage_)
        SetActivePage(Page);
    UpdateTabs();
    PlacePages();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    pages_.erase(std::find(pages_.begin(), pages_.end(), Page));
    if (activePage_ == Page) {
        activePage_ = nullptr;
        SetActivePage(pages_.empty() ? nullptr : pages_.front());
    }
    if (!(ComponentState() & csDestroying))
        UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->pageControl_ != this)
        return;
    if (activePage_ && activePage_ != Page)
        activePage_->SetVisible(false);
    activePage_ = Page;
    if (Page) {
        Page->SetVisible(true);
        Page->BringToFront();
    }
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Index)
{
    SetActivePage(Index >= 0 && Index < PageCount() ? pages_[static_cast<size_t>(Index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward) const
{
    std::vector<TTabSheet*> tabs = TabPages();
    if (tabs.empty())
        return nullptr;
    auto it = std::find(tabs.begin(), tabs.end(), CurPage);
    if (it == tabs.end())
        return GoForward ? tabs.front() : tabs.back();
    auto index = static_cast<size_t>(it - tabs.begin());
    size_t n = tabs.size();
    return tabs[GoForward ? (index + 1) % n : (index + n - 1) % n];
}

std::vector<TTabSheet*> TPageControl::TabPages() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* page : pages_)
        if (page->TabVisible())
            tabs.push_back(page);
    return tabs;
}

void TPageControl::UserPickedTab(int TabIndex)
{
    std::vector<TTabSheet*> pages = TabPages();
    if (updatingTabs_ || TabIndex < 0 || TabIndex >= static_cast<int>(pages.size()))
        return;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow) {
        UpdateTabs(); // back to the page that stays
        return;
    }
    SetActivePage(pages[static_cast<size_t>(TabIndex)]);
    if (OnChange)
        OnChange(this);
}

// The pages fill what the tab row leaves; a wizard without tabs gets it all.
TRect TPageControl::AlignRect() const
{
    TRect r = ClientRect();
    if (!TabPages().empty())
        r.Top += TabRowHeight;
    return r;
}

void TPageControl::PlacePages()
{
    TRect r = AlignRect();
    for (TTabSheet* page : pages_)
        SetChildBounds(page, r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::BoundsChanged(const TRect& oldBounds)
{
    TNativeControl::BoundsChanged(oldBounds);
    PlacePages();
}
