// The picture preview the player's catalog opens: loading, zoom limits and
// the message for a picture that cannot be loaded.

#include "player/Preview.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Messages.h"
#include "player/PlayerSetup.h"
#include "ui/UiFixture.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class PreviewWindow : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder_ = fs::temp_directory_path() / ("player_preview_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        Setup::VisteloFilename = (folder_ / "show.vsf").string();
    }
    void TearDown() override
    {
        Setup::VisteloFilename.clear();
        ui::EndDialogScript();
        fs::remove_all(folder_);
        UiTest::TearDown();
    }

    fs::path folder_;
};

TEST_F(PreviewWindow, ZoomsInQuarterStepsAndStopsAtAQuarter)
{
    TBitmap bitmap(200, 100, pf24bit);
    bitmap.SaveToFile((folder_ / "bild.bmp").string());
    TPicInfoObject entry;
    entry.FileName = "bild.bmp"; // beside the show file

    std::vector<std::pair<double, int>> seen; // zoom and image width after each step
    std::string caption;
    TPreviewForm* form = nullptr;
    auto record = [&] { seen.emplace_back(ZoomFaktor, form->PreviewImage->Width()); };
    Later([&] {
        form = dynamic_cast<TPreviewForm*>(Screen->ActiveForm());
        ASSERT_NE(form, nullptr);
        caption = form->Caption();
        record();
        for (int i = 0; i < 4; ++i) {
            form->ZoomOut();
            record();
        }
        form->ZoomIn();
        record();
        form->ActualSize();
        record();
        form->Close();
    });
    PlayerSetup::PreviewImage(&entry);
    Turn();

    EXPECT_EQ(caption, "Vorschau [bild.bmp]");
    const std::vector<std::pair<double, int>> expected = {{1.0, 200}, {0.75, 150}, {0.5, 100}, {0.25, 50},
                                                          {0.25, 50}, {0.5, 100},  {1.0, 200}};
    EXPECT_EQ(seen, expected);
}

TEST_F(PreviewWindow, APictureThatCannotBeLoadedIsReportedAndNothingOpens)
{
    TPicInfoObject entry;
    entry.FileName = (folder_ / "fehlt.jpg").string();
    ui::BeginDialogScript();
    ui::ScriptAnswer(IDOK);
    PlayerSetup::PreviewImage(&entry);
    Turn();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Das Bild \"" + entry.FileName + "\" kann nicht geladen werden.");
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
}

} // namespace
