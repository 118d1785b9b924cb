#include "player/PlayerCatalog.h"

#include "editor/app/CatalogUnit.h"
#include "player/PlayerSetup.h"
#include "player/Show.h"

#include <algorithm>

namespace PlayerCatalog {

std::function<void(TCatalogForm& Catalog)> OnShown;

namespace {

class TPlayerCatalogHost : public TCatalogHost {
public:
    explicit TPlayerCatalogHost(TShowForm& Form) : form_(Form) { }

    int StartIndex() override
    {
        const TVistelo* show = form_.Stepper.Show;
        return show && show->Count > 0 ? show->GetOrder(std::max(show->CurrentIndex, 0)) : -1;
    }
    bool StartSelected(int) override { return false; }
    bool CanEdit() override { return false; }

    void Run(TCatalogCommand Command, TCatalogForm& Catalog) override
    {
        switch (Command) {
        case ccStartShow:
            form_.CatalogStopMode = csmRunning;
            Catalog.Close();
            break;
        case ccStartAtMarked:
            if (Catalog.CommandIndex() < 0)
                break;
            form_.CatalogChoice = Catalog.CommandIndex();
            Catalog.Close();
            break;
        case ccPreview:
            if (TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(Catalog.CommandIndex()))
                PlayerSetup::PreviewImage(picture);
            break;
        default: break; // this build changes nothing
        }
    }
    void MovePicture(int, int) override { }
    void PicturesMoved(int, int) override { }
    void AddFiles(const std::vector<std::string>&) override { }
    void Leave(TCatalogForm&) override { }
    bool AnimateLogo() override { return false; }

private:
    TShowForm& form_;
};

// The access layer reads the playing show while the catalog is open.
class TShowAccess {
public:
    explicit TShowAccess(TVistelo* Show) : method_(PicInfoUnit::PicInfoAccessMethod), show_(PicInfoUnit::AccessVistelo)
    {
        PicInfoUnit::PicInfoAccessMethod = paCatalogVistelo;
        PicInfoUnit::AccessVistelo = Show;
    }
    ~TShowAccess()
    {
        PicInfoUnit::PicInfoAccessMethod = method_;
        PicInfoUnit::AccessVistelo = show_;
    }
    TShowAccess(const TShowAccess&) = delete;
    TShowAccess& operator=(const TShowAccess&) = delete;

private:
    TPicInfoAccessMethod method_;
    TVistelo* show_;
};

} // namespace

void Run(TShowForm& Form)
{
    if (!Form.Stepper.Show)
        return;
    const TShowAccess access(Form.Stepper.Show);
    TPlayerCatalogHost host(Form);
    std::unique_ptr<TCatalogForm> catalog = std::make_unique<TCatalogForm>(Application, host);
    if (OnShown)
        OnShown(*catalog);
    else
        catalog->ShowModal();
}

} // namespace PlayerCatalog
